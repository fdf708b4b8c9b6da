#pragma once
// The text of a result file as a viewer page shows it.

#include <QByteArray>
#include <QString>

class QPlainTextEdit;

namespace korvane {

// The file's bytes as lines: CR LF, LF and a lone CR all end a line, and the
// line break after the last line is dropped. Bytes that are valid UTF-8 (the
// code page of this platform) are read as such; any other file is taken as
// single-byte text, one character per byte (Latin-1).
QString DecodeViewerText(QByteArray bytes);

// Characters a large text is loaded in at a time.
inline constexpr qsizetype kViewerLoadChunk = qsizetype(1) << 20;

// Puts the text into the text area. A text of more than two chunks goes in
// chunk by chunk, at line ends, with the pending events handled between two
// chunks, so that the window stays usable while a big file loads (each step
// takes a moment). Gives false when the text area went away meanwhile (its
// page was closed); the load then stops.
bool LoadViewerText(QPlainTextEdit* memo, const QString& text);

}  // namespace korvane
