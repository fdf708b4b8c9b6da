#include "repair/repair_run.h"

#include "repair/if_repair.h"
#include "repair/xml_node_list.h"
#include "shared/text.h"

#include <memory>

namespace korvane {

namespace {

const char* const kInvalidParameterFile = "Invalid parameter file!";

std::string Message(std::string_view prefix, std::string_view value) {
    std::string line(prefix);
    line.append(value);
    line.push_back(' ');
    return line;
}

// Walks the pairs inside Files; prints "Invalid parameter file!" where the
// list does not have the expected form.
void RepairListedFiles(TMyXMLNodeList& nodes, const LineSink& print, int& processed) {
    if (!nodes.FindByName("Files")) {
        print(kInvalidParameterFile);
        return;
    }
    // When Files has no child the cursor stays on Files, whose name fails the
    // first test below.
    nodes.FirstChild(-1);
    while (true) {
        if (!StartsWithText("Orig_File_", nodes.CurrentNode().Name())) {
            print(kInvalidParameterFile);
            return;
        }
        print(Message(Format("Processing original file %d ", processed + 1), nodes.CurrentNode().Value()));
        if (!nodes.NextSibling()) {
            print(kInvalidParameterFile);
            return;
        }
        // The name of the second element of a pair is not looked at.
        const std::string path = nodes.CurrentNode().Value();
        print(Message("Internal name ", path));
        ++processed;
        RepairFile(path);
        if (!nodes.NextSibling()) return;
    }
}

}  // namespace

void RunRepair(const std::string& parameterFile, const LineSink& print) {
    // A parameter file that cannot be read or parsed ends the run before any
    // line is printed.
    auto nodes = std::make_unique<TMyXMLNodeList>(parameterFile, true);
    int processed = 0;
    auto finish = [&] {
        nodes.reset();
        print(Format("%d files processed", processed));
    };
    try {
        RepairListedFiles(*nodes, print, processed);
    } catch (...) {
        // The count line comes first, then the error goes on to be reported.
        finish();
        throw;
    }
    finish();
}

int BrelvinMain(const std::vector<std::string>& args, const LineSink& print) {
    if (args.size() < 2) {
        print("Usage: brelvin <parameter file>");
        return 1;
    }
    try {
        RunRepair(args[1], print);
        return 0;
    } catch (const std::exception& e) {
        print(std::string("Error: ") + e.what());
    } catch (...) {
        print("Error: unknown error");
    }
    return 1;
}

}  // namespace korvane
