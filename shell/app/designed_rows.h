#pragma once
// The designed transformation rows of "Available transformations", in the
// order of the window's definition: the step name (check box "CheckBox" +
// name, program picker "FindExex" + name) and the caption.

namespace korvane {

struct DesignedRow {
    const char* name;
    const char* caption;
};

inline constexpr DesignedRow kDesignedRows[] = {
    {"CopyAdd", "Insert copies into program source"},
    {"Realign", "Realign source code"},
    {"Refine", "Refine source code"},
    {"RenameVariables", "Rename variables"},
    {"RemoveComp", "Remove computational fields"},
    {"ReplaceNumericConstants", "Replace numeric constants"},
    {"ReplaceLiterals", "Replace alphanumeric constants (literals)"},
    {"RelocateFiles", "Relocate File I/O statements"},
    {"RelocateDB", "Relocate database access statements"},
    {"RelocateTP", "Relocate teleprocessing statements"},
    {"Restructure", "Restructure source code"},
    {"RefactorNestedBlocks", "Refactor nested blocks"},
};

// The text a new program picker shows until a language sets its field.
inline constexpr const char* kNewPickerText = "Notepad.exe";

// The items of the refactor level box ("1" to "9").
inline constexpr int kRefactorLevelCount = 9;

}  // namespace korvane
