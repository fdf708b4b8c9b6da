#include "shell/viewer/viewer_text.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringDecoder>
#include <QTextCursor>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <exception>
#include <memory>
#include <new>

#include "shared/platform/files.h"
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

QString ViewerPartNote(const ViewerFileText& file) {
    if (file.skippedBytes <= 0) return {};
    auto mb = [](qint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); };
    return QStringLiteral("Only the last %1 MB of this file (%2 MB) are shown.")
        .arg(mb(file.fileSize - file.skippedBytes), mb(file.fileSize));
}

ViewerFileText ReadViewerFile(const std::string& path, const std::atomic<bool>* stop, qint64 shownBytes) {
    ViewerFileText result;
    auto fail = [&result](const QString& why) {
        result = ViewerFileText();
        result.failed = true;
        result.error = why;
    };
    try {
        // Opened by its bytes: a QString path would lose those that are no UTF-8.
        const int fd = OpenReadDescriptor(path);
        if (fd < 0) {
            fail(QString::fromLocal8Bit(std::strerror(errno)));
            return result;
        }
        QFile file;
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            CloseDescriptor(fd);
            fail(file.errorString());
            return result;
        }
        const qint64 size = file.size();
        // Of a big file only the last part is read, together with the byte
        // before it, which tells whether the part begins with a whole line.
        // A file that grows meanwhile (a log still written to) is read no
        // further; one whose size said less than it holds (a file of /proc)
        // keeps only its last part as well.
        const qint64 keep = shownBytes + 1;
        qint64 start = 0;  // the file position of the first byte kept
        const bool seekTail = shownBytes >= 0 && size > shownBytes;
        if (seekTail) {
            start = size - keep;
            if (!file.seek(start)) {
                fail(file.errorString());
                return result;
            }
        }
        QByteArray bytes;
        if (size > 0) bytes.reserve(qsizetype(seekTail ? keep : size));
        QByteArray block(qsizetype(kViewerReadBlock), Qt::Uninitialized);
        while (!(seekTail && qint64(bytes.size()) >= keep)) {
            if (stop && stop->load()) return ViewerFileText();
            const qint64 n = file.read(block.data(), kViewerReadBlock);
            if (n < 0) {
                fail(file.errorString());
                return result;
            }
            if (n == 0) break;
            bytes.append(block.constData(), qsizetype(n));
            if (shownBytes >= 0 && !seekTail && qint64(bytes.size()) > 2 * keep) {
                const qsizetype drop = bytes.size() - qsizetype(keep);
                bytes.remove(0, drop);
                start += drop;
            }
        }
        block.clear();
        if (seekTail && qint64(bytes.size()) > keep) bytes.truncate(qsizetype(keep));
        result.fileSize = std::max(size, start + qint64(bytes.size()));
        if (shownBytes >= 0 && (start > 0 || qint64(bytes.size()) > shownBytes)) {
            if (qint64(bytes.size()) > keep) {
                const qsizetype drop = bytes.size() - qsizetype(keep);
                bytes.remove(0, drop);
                start += drop;
            }
            // The part begins with the first whole line in it (a part that
            // is all one line is shown from its first byte).
            qsizetype lineEnd = bytes.indexOf('\n');
            if (lineEnd < 0 || lineEnd + 1 >= bytes.size()) lineEnd = 0;
            bytes.remove(0, lineEnd + 1);
            result.skippedBytes = start + lineEnd + 1;
        }
        result.text = DecodeViewerText(std::move(bytes));
    } catch (const std::bad_alloc&) {
        fail(QStringLiteral("Not enough memory"));
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        fail(QStringLiteral("Unknown error"));
    }
    return result;
}

ViewerFileText ReadViewerFileAnswering(const std::string& path, QObject* reader) {
    // A file of one block is read at once: that takes a moment, and no
    // events are handled in between.
    const int64_t size = FileSizeBytes(path);
    if (size < 0 || size <= kViewerReadBlock) return ReadViewerFile(path);
    // Bounded by kViewerShownBytes, but still read beside the window thread.
    ViewerFileText result;
    std::atomic<bool> stop{false};
    QEventLoop loop;
    if (reader) QObject::connect(reader, &QObject::destroyed, &loop, [&stop] { stop = true; });
    std::unique_ptr<QThread> worker(
        QThread::create([&result, &stop, path] { result = ReadViewerFile(path, &stop); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    {
        // Events handled here are operations of their own.
        NestedEventLoopScope nested;
        loop.exec();
    }
    // The loop ends early only when the program is ending: no need to read on.
    if (!worker->isFinished()) stop = true;
    worker->wait();
    return result;
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
            // A line longer than a chunk is cut between characters, never
            // inside a pair of surrogates.
            else if (text.at(end - 1).isHighSurrogate()) --end;
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
