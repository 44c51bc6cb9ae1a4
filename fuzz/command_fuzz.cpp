// Command texts carried by a committed item's output ("run(", "help(",
// "set(", "convert(", "skbd(", "config(", "keyboard(", "newkey("): what a
// commit would produce, the escaped web address and the key events.

#include "engine/commands.h"
#include "fuzz/fuzz_input.h"

#include <string>

using namespace zv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text = fuzz::textOf(data, size);
    for (int position : {1, 10, 11}) {
        PreparedCommand command = prepareCommand(CommandItem{text, position, 0}, true, u"C:\\Zorvan\\");
        if (command.argument.size() > kCommandUnits) __builtin_trap();
    }
    prepareCommand(CommandItem{text, 1, 0x54}, false, u"/install/");
    if (escapeWebAddress(text).size() > kEscapedAddressUnits) __builtin_trap();
    keyboardEvents(text);
    return 0;
}
