#include "host/com/object_count.h"

#include <windows.h>

namespace zv::com {

namespace {
// Objects are made and released on any thread the system uses.
volatile LONG g_objects = -1;
}  // namespace

void objectCreated() noexcept { InterlockedIncrement(&g_objects); }
void objectReleased() noexcept { InterlockedDecrement(&g_objects); }
long objectCount() noexcept { return InterlockedCompareExchange(&g_objects, 0, 0); }

}  // namespace zv::com
