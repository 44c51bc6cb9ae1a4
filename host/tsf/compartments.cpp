// The keyboard compartments and the engine's modes. The open/close and
// conversion compartments of the thread follow every mode switch of the
// engine, so that the system's indicator shows the right mode; a switch the
// system makes (Ctrl+Space, the indicator) reaches the engine.

#include "host/tsf/text_service.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "host/tsf/service_windows.h"
#include "host/tsf/sinks.h"

namespace zv::tsf {

namespace {

com::ComPtr<ITfCompartment> compartmentOf(IUnknown* owner, REFGUID guid) {
    com::ComPtr<ITfCompartment> compartment;
    com::ComPtr<ITfCompartmentMgr> manager;
    if (!owner || FAILED(owner->QueryInterface(IID_ITfCompartmentMgr, manager.putVoid())) || !manager)
        return compartment;
    if (FAILED(manager->GetCompartment(guid, compartment.put()))) compartment.reset();
    return compartment;
}

bool readValue(IUnknown* owner, REFGUID guid, LONG& value) {
    com::ComPtr<ITfCompartment> compartment = compartmentOf(owner, guid);
    if (!compartment) return false;
    VARIANT v;
    VariantInit(&v);
    if (FAILED(compartment->GetValue(&v))) return false;
    const bool ok = v.vt == VT_I4;
    if (ok) value = v.lVal;
    VariantClear(&v);
    return ok;
}

void writeValue(IUnknown* owner, TfClientId client, REFGUID guid, LONG value) {
    com::ComPtr<ITfCompartment> compartment = compartmentOf(owner, guid);
    if (!compartment) return;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    compartment->SetValue(client, &v);
}

// The conversion bits the engine's modes decide.
constexpr LONG kEngineBits = TF_CONVERSIONMODE_NATIVE | TF_CONVERSIONMODE_NOCONVERSION | TF_CONVERSIONMODE_SYMBOL |
                             TF_CONVERSIONMODE_FULLSHAPE;

LONG conversionOf(uint32_t modes) {
    const auto status = static_cast<LONG>(conversionStatusOf(modes));
    return status | ((status & TF_CONVERSIONMODE_NOCONVERSION) ? 0 : TF_CONVERSIONMODE_NATIVE);
}

// Marks the service's own compartment writes for as long as it lives.
class OwnWrites {
public:
    explicit OwnWrites(bool& flag) : flag_(flag) { flag_ = true; }
    ~OwnWrites() { flag_ = false; }
    OwnWrites(const OwnWrites&) = delete;
    OwnWrites& operator=(const OwnWrites&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool TextService::keyboardDisabled() const {
    com::ComPtr<ITfContext> context = focusContext();
    if (!context) return false;
    LONG disabled = 0, empty = 0;
    readValue(context.get(), tsf_guid::KeyboardDisabled, disabled);
    readValue(context.get(), tsf_guid::EmptyContext, empty);
    return disabled != 0 || empty != 0;
}

void TextService::initialiseModes() {
    ITfThreadMgr* tm = threadMgr_.get();
    const OwnWrites own(writingCompartments_);
    writeValue(tm, clientId_, tsf_guid::KeyboardOpenClose, 1);
    LONG current = 0;
    readValue(tm, tsf_guid::KeyboardInputModeConversion, current);
    LONG mode = (current & ~TF_CONVERSIONMODE_NOCONVERSION) | TF_CONVERSIONMODE_NATIVE;
    const ImeSettings& ime = settingsOf(*engine_).ime;
    if (ime && (ime.c() & ImeSettings::C_CustomInitialState)) {
        const auto stored = static_cast<LONG>(ime.u32(ImeSettings::InitialMode));
        mode = (stored & TF_CONVERSIONMODE_NOCONVERSION) ? stored & ~TF_CONVERSIONMODE_NATIVE
                                                         : (stored & ~TF_CONVERSIONMODE_NOCONVERSION) | TF_CONVERSIONMODE_NATIVE;
    }
    writeValue(tm, clientId_, tsf_guid::KeyboardInputModeConversion, mode);
    takeModesFromConversion(*engine_, static_cast<uint32_t>(mode));
    takeChanges(*engine_);
}

void TextService::syncCompartments() {
    if (!engine_ || !threadMgr_) return;
    ITfThreadMgr* tm = threadMgr_.get();
    const uint32_t modes = viewOf(*engine_).modes;
    {
        const OwnWrites own(writingCompartments_);
        writeValue(tm, clientId_, tsf_guid::KeyboardOpenClose, (modes & ModeEnglish) ? 0 : 1);
        LONG current = 0;
        readValue(tm, tsf_guid::KeyboardInputModeConversion, current);
        writeValue(tm, clientId_, tsf_guid::KeyboardInputModeConversion, (current & ~kEngineBits) | conversionOf(modes));
    }
    updateLanguageBar(false);
    if (windows_) windows_->showIndicators();
}

void TextService::storeInitialState() {
    // The secure desktop's service writes no user data.
    if (restricted_ & TF_TMAE_SECUREMODE) return;
    ImeSettings& ime = settingsOf(*engine_).ime;
    const uint32_t both = ImeSettings::C_CustomInitialState | ImeSettings::C_SaveInitialState;
    if (!ime || (ime.c() & both) != both) return;
    LONG current = 0;
    if (!readValue(threadMgr_.get(), tsf_guid::KeyboardInputModeConversion, current)) return;
    ime.setU32(ImeSettings::InitialMode, static_cast<uint32_t>(current));
    saveSettings(*engine_);
}

void TextService::adviseCompartmentSink() {
    const GUID* watched[] = {&tsf_guid::KeyboardOpenClose, &tsf_guid::KeyboardInputModeConversion};
    for (size_t i = 0; i < compartmentSinks_.size(); ++i) {
        com::ComPtr<ITfCompartment> compartment = compartmentOf(threadMgr_.get(), *watched[i]);
        CompartmentSink& sink = compartmentSinks_[i];
        if (compartment && advise(compartment.get(), IID_ITfCompartmentEventSink,
                                  static_cast<ITfCompartmentEventSink*>(this), sink.cookie))
            compartment->QueryInterface(IID_ITfSource, sink.source.putVoid());
    }
}

void TextService::unadviseCompartmentSink() {
    for (CompartmentSink& sink : compartmentSinks_) {
        if (sink.source && sink.cookie != TF_INVALID_COOKIE) sink.source->UnadviseSink(sink.cookie);
        sink.cookie = TF_INVALID_COOKIE;
        sink.source.reset();
    }
}

STDMETHODIMP TextService::OnChange(REFGUID compartment) noexcept {
    return guarded([&]() -> HRESULT {
        if (!engine_ || writingCompartments_) return S_OK;
        if (IsEqualGUID(compartment, tsf_guid::KeyboardInputModeConversion)) {
            // The system or the application set the conversion mode: the
            // engine takes its full-width and punctuation modes from it.
            LONG conversion = 0;
            if (readValue(threadMgr_.get(), tsf_guid::KeyboardInputModeConversion, conversion)) {
                const uint32_t before = viewOf(*engine_).modes;
                takeModesFromConversion(*engine_, static_cast<uint32_t>(conversion));
                takeChanges(*engine_);
                if (viewOf(*engine_).modes != before) {
                    updateLanguageBar(false);
                    if (windows_) windows_->showIndicators();
                }
            }
            return S_OK;
        }
        if (!IsEqualGUID(compartment, tsf_guid::KeyboardOpenClose)) return S_OK;
        LONG open = 1;
        if (!readValue(threadMgr_.get(), tsf_guid::KeyboardOpenClose, open)) return S_OK;
        const bool english = (viewOf(*engine_).modes & ModeEnglish) != 0;
        // The system switched (Ctrl+Space, its indicator): the engine
        // follows through its own switch, which clears the code first.
        if ((open != 0) == english)
            uiCommand(*engine_, open ? ui_command::Chinese : ui_command::English, 0, 0);
        applyChangesOutsideKey();
        if (windows_) windows_->showIndicators();
        return S_OK;
    });
}

}  // namespace zv::tsf
