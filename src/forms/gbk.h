#pragma once
// Conversion between the program's strings and GBK bytes (code page 936), done by the C library's iconv
// as GB18030, the superset of GBK: GBK text gives exactly its GBK bytes, and a character outside GBK
// keeps its four-byte form instead of being lost.
#include <QByteArray>
#include <QString>

namespace gbk {

// Encodes text; never fails (every Unicode character has a GB18030 form).
QByteArray encode(const QString &text);

// Decodes bytes; a byte sequence that is not valid becomes U+FFFD, a lone lead byte at the end too.
QString decode(const QByteArray &bytes);

}
