#pragma once
// Cleaning of work-area folders by name mask.

#include <string>
#include <string_view>

namespace korvane {

class ProtectedFiles;

// The mask test of the cleaning: the file name is upper-cased and every digit
// replaced by "#", and the result must begin with the mask (ignoring case).
// "*.*" and the empty mask match every name; a mask holding a digit matches
// none.
bool PurgeMaskMatches(std::string_view fileName, std::string_view mask);

// Deletes the files matching mask in folder and in its subfolders down to
// depth levels (depth 1: the folder alone), then removes every folder left
// empty, the folder itself included. Hidden entries (dot-names, anything
// neither a regular file nor a folder) are not looked at. Symbolic links to
// folders are never followed, and a folder that is itself a link is not
// entered; a link to a file is removed as a link. A file of keep is never
// deleted, whatever its name. Failures are ignored.
void PurgeMatchingFiles(const std::string& folder, int depth, std::string_view mask,
                        const ProtectedFiles* keep = nullptr);

// The folder a link points at, for a folder the user chose (the output
// directory); any other path is given back as it is.
std::string ResolveChosenFolder(const std::string& folder);

}  // namespace korvane
