#pragma once
// The text of a result file as a viewer page shows it.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <string>

class QObject;
class QPlainTextEdit;

namespace korvane {

// The file's bytes as lines: CR LF, LF and a lone CR all end a line, and the
// line break after the last line is dropped. Bytes that are valid UTF-8 (the
// code page of this platform) are read as such; any other file is taken as
// single-byte text, one character per byte (Latin-1).
QString DecodeViewerText(QByteArray bytes);

// A result file read for a viewer page.
struct ViewerFileText {
    QString text;       // decoded as DecodeViewerText does
    bool failed = false;
    QString error;      // why the file could not be read, when failed
    qint64 fileSize = 0;      // the file's size when it was opened
    qint64 skippedBytes = 0;  // bytes before the part shown (0: all of it)
};

// Bytes read from the file at a time.
inline constexpr qint64 kViewerReadBlock = qint64(4) << 20;

// The most a viewer page shows of a file: 16 MB (16,000,000 bytes). Of a
// bigger file (a Console.log that every run appends to) the page shows the
// last part, from the first line that begins inside it, with a note above
// the text; memory and time stay bounded whatever the file's size.
inline constexpr qint64 kViewerShownBytes = 16000000;

// Reads the file (its last shownBytes at most) block by block and decodes
// it. The path is the file's bytes, whatever they are (a folder name that is
// no UTF-8 included). Safe on any thread; throws nothing (a failure, also
// running out of memory, comes back as failed with its text). When stop
// turns true between two blocks the reading ends with an empty text, not
// failed.
ViewerFileText ReadViewerFile(const std::string& path, const std::atomic<bool>* stop = nullptr,
                              qint64 shownBytes = kViewerShownBytes);

// The note above a page that shows only the last part of its file:
// "Only the last <n> MB of this file (<m> MB) are shown."
QString ViewerPartNote(const ViewerFileText& file);

// ReadViewerFile on a worker thread while this (the window) thread goes on
// handling events in a nested loop, so that the window keeps answering
// while a big file is read. The reading is given up early when the object
// reader is destroyed meanwhile (the page of the file is closed). A file of
// no more than one block is read directly, without handling events.
ViewerFileText ReadViewerFileAnswering(const std::string& path, QObject* reader);

// Characters a large text is loaded in at a time.
inline constexpr qsizetype kViewerLoadChunk = qsizetype(1) << 20;

// Puts the text into the text area. A text of more than two chunks goes in
// chunk by chunk, at line ends, with the pending events handled between two
// chunks, so that the window stays usable while a big file loads (each step
// takes a moment). Gives false when the text area went away meanwhile (its
// page was closed); the load then stops.
bool LoadViewerText(QPlainTextEdit* memo, const QString& text);

}  // namespace korvane
