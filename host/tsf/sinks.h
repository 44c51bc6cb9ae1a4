#pragma once
// Advising and unadvising a sink on an object's ITfSource, with the cookie
// kept at TF_INVALID_COOKIE while nothing is advised.

#include "host/com/com_ptr.h"

#include <msctf.h>

namespace zv::tsf {

inline bool advise(IUnknown* owner, REFIID sinkIid, IUnknown* sink, DWORD& cookie) {
    com::ComPtr<ITfSource> source;
    if (!owner || FAILED(owner->QueryInterface(IID_ITfSource, source.putVoid())) || !source) return false;
    DWORD c = TF_INVALID_COOKIE;
    if (FAILED(source->AdviseSink(sinkIid, sink, &c))) return false;
    cookie = c;
    return true;
}

inline void unadvise(IUnknown* owner, DWORD& cookie) {
    if (cookie == TF_INVALID_COOKIE) return;
    com::ComPtr<ITfSource> source;
    if (owner && SUCCEEDED(owner->QueryInterface(IID_ITfSource, source.putVoid())) && source)
        source->UnadviseSink(cookie);
    cookie = TF_INVALID_COOKIE;
}

}  // namespace zv::tsf
