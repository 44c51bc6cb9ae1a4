#pragma once
// The count of the library's live COM objects, by which the system asks
// whether it may unload the library. It starts at -1: below zero nothing
// holds the library.

namespace zv::com {

void objectCreated() noexcept;
void objectReleased() noexcept;
long objectCount() noexcept;

// A base that counts its object for as long as it lives.
struct CountedObject {
    CountedObject() noexcept { objectCreated(); }
    CountedObject(const CountedObject&) noexcept { objectCreated(); }
    CountedObject& operator=(const CountedObject&) noexcept = default;
    ~CountedObject() { objectReleased(); }
};

}  // namespace zv::com
