#pragma once
// zvconfig run in the test's own process on a data folder of the test.

#include "config/cli/cli.h"
#include "config/text_file.h"
#include "tests/config/table_fixture.h"
#include "tests/support/data_fixture.h"

#include <sstream>

namespace zv::config::cli {

struct Cli {
    test::DataFolder f{{{"a", u"工", attr::make(9, 1)}, {"b", u"了", attr::make(9, 16)}}};
    std::ostringstream out, err;
    std::istringstream in;
    bool terminal = false;
    test::RecordingServices services;  // clipboard and shell

    int run(std::vector<std::string> args, bool withData = true) {
        out.str("");
        err.str("");
        Io io(out, err, in);
        io.inTerminal = io.errTerminal = terminal;
        io.tempFolder = f.temp();
        io.documentsFolder = (f.dir.path() / "docs").u16string() + u'/';
        io.clipboard = &services;
        io.shell = &services;
        if (withData) args.insert(args.begin(), {"--data", f.dir.path().string()});
        return cli::run(args, io);
    }
    std::string source(const std::string& name, std::u16string_view text) {
        writeTextFile(f.dir.file(name), text);
        return (f.dir.path() / name).string();
    }
    bool says(std::string_view what) const {
        return out.str().find(what) != std::string::npos || err.str().find(what) != std::string::npos;
    }
};

}  // namespace zv::config::cli
