// Reads arbitrary bytes as a note file: the scanning rule against a plain restatement of it, the box
// text that comes out of them, and the way back to note bytes and into the box again. GBK decoding and
// encoding are also driven on the raw bytes, past the point where a note would end.
#include "forms/gbk.h"
#include "notepad/note_file.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_note_reading: %s\n", what);
    std::abort(); // libFuzzer keeps the input as a crash-* file for replaying
}

void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

// The scanning rule, one byte at a time: 0x00 and 0x1A end the text; 0x80..0xFF starts a double-byte
// character that keeps any second byte but 0x00, which ends the text before the first byte.
qsizetype plainTextLength(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        if (p[i] == 0x00 || p[i] == 0x1A)
            return i;
        if (p[i] < 0x80) {
            ++i;
        } else if (i + 1 == size) {
            return size; // a first byte at the very end is kept
        } else if (p[i + 1] == 0x00) {
            return i;
        } else {
            i += 2;
        }
    }
    return size;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const qsizetype length = notepad::noteTextLength(bytes);
    check(length == plainTextLength(bytes), "noteTextLength differs from the scanning rule");

    const QString text = notepad::textFromNoteBytes(bytes);
    check(!text.contains(u'\r'), "a CR is left in the box text");
    check(!text.contains(QChar(0)), "a NUL is in the box text");
    check(text.size() <= length, "the box text has more characters than the note has bytes");

    // Back to note bytes: CR LF for every line break and nothing else, no byte that would end the text
    // early, and, for text that holds no end-of-file character, the very same box text again.
    const QByteArray saved = notepad::noteBytesFromText(text);
    for (qsizetype i = 0; i < saved.size(); ++i) {
        if (saved[i] == '\n')
            check(i > 0 && saved[i - 1] == '\r', "a LF without a CR before it in the saved bytes");
        if (saved[i] == '\r')
            check(i + 1 < saved.size() && saved[i + 1] == '\n', "a CR without a LF after it in the saved bytes");
        check(saved[i] != '\0', "a NUL byte in the saved bytes");
    }
    if (!text.contains(QChar(0x1A)))
        check(notepad::textFromNoteBytes(saved) == text, "saving and reading again changed the box text");

    // The decoder on its own, on every byte: a character takes at least one byte for each of its
    // UTF-16 units but for four-byte sequences, which give two units.
    const QString decoded = gbk::decode(bytes);
    check(decoded.size() <= bytes.size(), "decoding gave more characters than there are bytes");
    check(gbk::decode(gbk::encode(decoded)) == decoded, "encoding and decoding again changed decoded text");

    // The same bytes read as UTF-16 text, lone surrogates and all, saved as a note.
    const QString raw(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const QByteArray rawSaved = notepad::noteBytesFromText(raw);
    check(raw.isEmpty() == rawSaved.isEmpty(), "saving lost or invented the whole text");
    return 0;
}
