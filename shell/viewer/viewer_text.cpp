#include "shell/viewer/viewer_text.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringDecoder>
#include <QTextCursor>
#include <algorithm>

#include "shell/ui/guard.h"

namespace korvane {

QString DecodeViewerText(QByteArray bytes) {
    // One pass in place: CR LF -> LF, a lone CR -> LF.
    if (bytes.contains('\r')) {
        char* out = bytes.data();
        const char* in = out;
        const char* end = in + bytes.size();
        char* start = out;
        while (in < end) {
            const char c = *in++;
            if (c == '\r') {
                *out++ = '\n';
                if (in < end && *in == '\n') ++in;
            } else {
                *out++ = c;
            }
        }
        bytes.truncate(out - start);
    }
    if (bytes.endsWith('\n')) bytes.chop(1);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

bool LoadViewerText(QPlainTextEdit* memo, const QString& text) {
    // A viewer page is never edited: no undo history for the load.
    memo->setUndoRedoEnabled(false);
    if (text.size() <= 2 * kViewerLoadChunk) {
        memo->setPlainText(text);
        return true;
    }
    QPointer<QPlainTextEdit> alive(memo);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = std::min(text.size(), pos + kViewerLoadChunk);
        if (end < text.size()) {
            const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), end - 1);
            if (lineEnd >= pos) end = lineEnd + 1;
        }
        const QString piece = text.mid(pos, end - pos);
        if (pos == 0) {
            memo->setPlainText(piece);
        } else {
            QTextCursor cursor(memo->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(piece);
        }
        pos = end;
        {
            // Events handled here are operations of their own.
            NestedEventLoopScope nested;
            QCoreApplication::processEvents();
        }
        if (!alive) return false;
    }
    return true;
}

}  // namespace korvane
