#include "app/engine/gbk_codec.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

constexpr const char *kGbkName = "GBK";

bool IsAscii(std::string_view bytes)
{
    return std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QString DecodeGbk(std::string_view bytes)
{
    if (IsAscii(bytes)) // hex text and plain ASCII: no converter needed
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));

    QStringDecoder decoder(kGbkName);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));

    QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    // The converter keeps an unfinished double-byte character to itself. 0x01 can
    // never be a trail byte, so feeding it flushes such a lead byte out as U+FFFD;
    // the 0x01 itself is then dropped again.
    text += decoder(QByteArrayView("\x01", 1));
    if (!text.isEmpty() && text.back() == QChar(0x01))
        text.chop(1);
    return text;
}

std::string EncodeGbk(const QString &text)
{
    if (IsAscii(text)) {
        const QByteArray latin = text.toLatin1();
        return std::string(latin.constData(), std::size_t(latin.size()));
    }
    QStringEncoder encoder(kGbkName, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.isValid() ? QByteArray(encoder(text)) : text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
