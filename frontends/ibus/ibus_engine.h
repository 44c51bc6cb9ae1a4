#pragma once
// The IBus engine type: one engine instance per IBus input context, each a
// desktop input context over this process's data folder.

#include <glib-object.h>
#include <string>

namespace zv::ibus {

// The engine's name in the component description.
constexpr const char* kEngineName = "zorvan-wubi";

// The GType of the engine; the data folder every instance opens (empty:
// the folder of this product's registered instance).
GType engineType(const std::string& dataFolder);

}  // namespace zv::ibus
