#pragma once
// Finds the file input/output statements of a source and the names of the
// files it works on, for the reference scanner.
//
// Control words are tagged by what the statement does: INPT reads, OTPT
// writes (or changes/deletes records), FUNC opens or closes.
//   Cobol (any letter case, written upper case): READ; WRITE, REWRITE, DELETE;
//         OPEN, CLOSE. Objects: the names of the FD entries.
//   C:    fread, fscanf; fwrite, fprintf; fopen, fclose (each followed by "(").
//         Objects: a string literal given as first argument of fopen.
//   Java: new FileInputStream, BufferedReader, FileReader, Files.read...;
//         new FileOutputStream, FileWriter, Files.write...
//         Objects: a string literal given first to one of these constructors,
//         new File, Paths.get or Path.of.
// Comments and the text of string literals are not searched for statements.

#include <string>

#include "tools/word_list_records.h"

namespace korvane::tools {

enum class SourceKind { Cobol, C, Java, Any };

// From the Version attribute of the parameter file (the dialect or the
// language prefix): COB... Cobol, C/CPP C, JAV Java, anything else all rules.
SourceKind SourceKindOfVersion(const std::string& version);

// Adds what the source holds to the lists, leaving out entries already there.
void ScanSource(const std::string& text, SourceKind kind, WordLists& found);

}  // namespace korvane::tools
