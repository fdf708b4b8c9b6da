// The layering check (ctest "layering"):
//   layering_check SOURCE_ROOT TARGET_TABLE KNOWN_VIOLATIONS
//
// TARGET_TABLE, written by checks/CMakeLists.txt, says which target builds
// which file and which targets each links ("target NAME TYPE", "source NAME
// PATH", "link NAME OTHER"). A header belongs to the targets that list it, or
// else to those that build the .cpp of the same name. Every #include "..."
// of every file of a target (and of its .cpp's header) is checked:
//   - the included header must belong to the including target or to one it
//     links, directly or through others;
//   - outside shell/app only tests and the mains of test programs may
//     include shell/app/main_window.h;
//   - the includes between the libraries, and between the folders of the
//     non-test files (shell/<folder>, shared, repair), must form no cycle;
//   - a header that a file includes must belong to some target (test headers
//     aside).
// KNOWN_VIOLATIONS lists includes ("FROM -> TO", '#' starts a comment) that
// are being removed; they are left out of every rule. The program prints each
// violation with the files involved and ends with 1 when there is one.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kMainWindow = "shell/app/main_window.h";

struct Table {
    std::map<std::string, std::string> type;                    // target -> TYPE
    std::map<std::string, std::set<std::string>> owners;        // file -> targets
    std::map<std::string, std::set<std::string>> links;         // target -> linked targets
};

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool ReadTable(const std::string& path, Table& t) {
    std::ifstream in(path);
    if (!in) return false;
    std::string kind, a, b;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        if (!(words >> kind >> a >> b)) continue;
        if (kind == "target") t.type[a] = b;
        else if (kind == "source") t.owners[b].insert(a);
        else if (kind == "link") t.links[a].insert(b);
    }
    return true;
}

std::string Stem(const std::string& path) { return path.substr(0, path.rfind('.')); }
// The subsystem folder of a file: shell/<folder>, else the top folder
// (shared/ with its platform layer, repair/).
std::string Folder(const std::string& path) {
    const size_t first = path.find('/');
    if (first == std::string::npos) return {};
    if (!path.starts_with("shell/")) return path.substr(0, first);
    const size_t second = path.find('/', first + 1);
    return second == std::string::npos ? path.substr(0, first) : path.substr(0, second);
}

bool IsTestFile(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return path.starts_with("shell/testing/") || name.find("_test") != std::string::npos ||
           name.find("test_support") != std::string::npos || name.ends_with("_main.cpp") ||
           name == "test_environment.cpp";
}

bool IsLibrary(const Table& t, const std::string& target) {
    auto it = t.type.find(target);
    return it != t.type.end() && it->second.find("LIBRARY") != std::string::npos;
}

// The targets a target links, directly or through others (itself included).
std::set<std::string> Closure(const Table& t, const std::string& target) {
    std::set<std::string> seen = {target};
    std::vector<std::string> todo = {target};
    while (!todo.empty()) {
        const std::string next = todo.back();
        todo.pop_back();
        auto it = t.links.find(next);
        if (it == t.links.end()) continue;
        for (const std::string& l : it->second)
            if (seen.insert(l).second) todo.push_back(l);
    }
    return seen;
}

std::vector<std::string> Includes(const fs::path& file) {
    static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> found;
    std::ifstream in(file);
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, kInclude)) found.push_back(m[1]);
    return found;
}

// A directed graph whose edges remember one include that makes them.
using Graph = std::map<std::string, std::map<std::string, std::string>>;

// The strongly connected parts of more than one node (Tarjan).
std::vector<std::vector<std::string>> Cycles(const Graph& g) {
    std::map<std::string, int> index, low;
    std::set<std::string> onStack;
    std::vector<std::string> stack;
    std::vector<std::vector<std::string>> parts;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        onStack.insert(v);
        auto it = g.find(v);
        if (it != g.end())
            for (const auto& [w, why] : it->second) {
                if (!index.count(w)) {
                    visit(w);
                    low[v] = std::min(low[v], low[w]);
                } else if (onStack.count(w)) {
                    low[v] = std::min(low[v], index[w]);
                }
            }
        if (low[v] != index[v]) return;
        std::vector<std::string> part;
        std::string w;
        do {
            w = stack.back();
            stack.pop_back();
            onStack.erase(w);
            part.push_back(w);
        } while (w != v);
        if (part.size() > 1) parts.push_back(part);
    };
    for (const auto& [v, edges] : g)
        if (!index.count(v)) visit(v);
    return parts;
}

int ReportCycles(const Graph& g, const std::string& what) {
    int found = 0;
    for (std::vector<std::string> part : Cycles(g)) {
        std::sort(part.begin(), part.end());
        std::cout << "cycle between " << what << ":";
        for (const std::string& n : part) std::cout << " " << n;
        std::cout << "\n";
        const std::set<std::string> members(part.begin(), part.end());
        for (const std::string& from : part)
            for (const auto& [to, why] : g.at(from))
                if (members.count(to)) std::cout << "  " << from << " -> " << to << ": " << why << "\n";
        ++found;
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: layering_check SOURCE_ROOT TARGET_TABLE KNOWN_VIOLATIONS\n";
        return 2;
    }
    const fs::path root = argv[1];
    Table table;
    if (!ReadTable(argv[2], table) || table.owners.empty()) {
        std::cerr << "cannot read the target table " << argv[2] << "\n";
        return 2;
    }
    std::set<std::pair<std::string, std::string>> known, knownSeen;
    {
        std::ifstream in(argv[3]);
        std::string line;
        while (std::getline(in, line)) {
            line = Trim(line.substr(0, line.find('#')));
            const size_t arrow = line.find("->");
            if (arrow != std::string::npos)
                known.insert({Trim(line.substr(0, arrow)), Trim(line.substr(arrow + 2))});
        }
    }

    // Owners of a header: those that list it, else those of its .cpp.
    auto ownersOf = [&table](const std::string& file) -> std::set<std::string> {
        auto it = table.owners.find(file);
        if (it != table.owners.end()) return it->second;
        if (file.ends_with(".h")) {
            it = table.owners.find(Stem(file) + ".cpp");
            if (it != table.owners.end()) return it->second;
        }
        return {};
    };

    // Every file of a target, and the header of each of its .cpp files.
    std::set<std::string> files;
    for (const auto& [file, owners] : table.owners) {
        files.insert(file);
        if (file.ends_with(".cpp") && fs::exists(root / (Stem(file) + ".h"))) files.insert(Stem(file) + ".h");
    }

    int violations = 0;
    Graph targetGraph, folderGraph;
    std::map<std::string, std::set<std::string>> closures;
    for (const std::string& file : files) {
        const std::set<std::string> from = ownersOf(file);
        for (const std::string& inc : Includes(root / file)) {
            if (!inc.ends_with(".h") || !fs::exists(root / inc)) continue;  // generated, moc
            if (known.count({file, inc})) {
                knownSeen.insert({file, inc});
                continue;
            }
            const std::set<std::string> to = ownersOf(inc);
            const std::string why = file + " includes " + inc;
            if (to.empty()) {
                if (!IsTestFile(inc)) {
                    std::cout << "no target: " << why << ", and no target builds " << inc << "\n";
                    ++violations;
                }
                continue;
            }
            if (inc == kMainWindow && !file.starts_with("shell/app/") && !IsTestFile(file)) {
                std::cout << "main window: " << why << " (only shell/app and tests may)\n";
                ++violations;
            }
            for (const std::string& t : from) {
                if (!closures.count(t)) closures[t] = Closure(table, t);
                const std::set<std::string>& reach = closures[t];
                if (std::none_of(to.begin(), to.end(), [&](const std::string& s) { return reach.count(s); })) {
                    std::cout << "not linked: " << why << ", but " << t << " links none of";
                    for (const std::string& s : to) std::cout << " " << s;
                    std::cout << "\n";
                    ++violations;
                }
                if (!IsLibrary(table, t)) continue;
                for (const std::string& s : to)
                    if (s != t && IsLibrary(table, s)) targetGraph[t].emplace(s, why);
            }
            if (!IsTestFile(file) && Folder(file) != Folder(inc)) folderGraph[Folder(file)].emplace(Folder(inc), why);
        }
    }
    violations += ReportCycles(targetGraph, "targets");
    violations += ReportCycles(folderGraph, "folders");

    for (const auto& k : known)
        if (!knownSeen.count(k))
            std::cout << "note: the known violation " << k.first << " -> " << k.second
                      << " is gone; remove it from the list\n";
    std::cout << files.size() << " files checked, " << known.size() << " known violations, " << violations
              << " new\n";
    return violations == 0 ? 0 : 1;
}
