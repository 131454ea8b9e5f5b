#include "services/text.h"

#include "frame/runtime_error.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <new>
#include <stdexcept>

namespace {

// The encoding the bytes of a text are kept in. GB18030 writes every GBK character with
// the same bytes and keeps the characters GBK lacks.
constexpr const char* storedEncoding = "GB18030";

// Room for a new text of `size` bytes; when the memory cannot be obtained, the run-time
// error is reported ("分配 %d 字节内存失败!") and the program ends.
std::string reserveBytes(std::size_t size)
{
    std::string bytes;
    bool obtained = true;
    try {
        bytes.reserve(size);
    } catch (const std::bad_alloc&) {
        obtained = false;
    } catch (const std::length_error&) {
        obtained = false;
    }
    if (!obtained) {
        char message[64];
        std::snprintf(message, sizeof message, "分配 %zu 字节内存失败!", size);
        // Encoded here rather than through Text(const char*), which would come back to
        // this function for its own bytes.
        QStringEncoder encoder(storedEncoding);
        const QByteArray encoded = encoder.encode(QString::fromUtf8(message));
        reportRuntimeError(
            Text::fromBytes(std::string(encoded.constData(), std::size_t(encoded.size()))), 0);
    }
    return bytes;
}

// A new text holding the `size` bytes at `data`.
Text newText(const char* data, std::size_t size)
{
    std::string bytes = reserveBytes(size);
    bytes.append(data, size);
    return Text::fromBytes(std::move(bytes));
}

Text encode(const QString& string)
{
    QStringEncoder encoder(storedEncoding);
    const QByteArray bytes = encoder.encode(string);
    return newText(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Appends the decimal digits of `magnitude` to `out` (at least one digit).
char* writeDecimal(char* out, std::uint64_t magnitude)
{
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

// One character of a text, as toWholeNumber sees it: the single byte that a full-width
// form stands for, the byte itself for a one-byte character, or -1 for any other
// character. `position` is moved past the character.
int nextCharacter(const std::string& bytes, std::size_t& position)
{
    const auto byteAt = [&bytes](std::size_t index) {
        return static_cast<unsigned char>(bytes[index]);
    };
    const std::size_t size = bytes.size();
    const unsigned lead = byteAt(position);
    if (lead <= 0x80 || lead == 0xFF || position + 1 >= size) {
        ++position;
        return lead < 0x80 ? static_cast<int>(lead) : -1;
    }
    const unsigned trail = byteAt(position + 1);
    if (trail >= 0x30 && trail <= 0x39) {
        // A four-byte GB18030 character (or what is left of one at the end).
        position = std::min(position + 4, size);
        return -1;
    }
    position += 2;
    const unsigned code = (lead << 8) | trail;
    if (code >= 0xA3A1 && code <= 0xA3FE)
        return static_cast<int>(trail - 0x80);
    switch (code) {
    case 0xA1A1:
        return ' ';
    case 0xA1AB:
        return '~';
    case 0xA1EE:
    case 0xA1EF:
        return '*';
    default:
        return -1;
    }
}

bool isWhiteSpace(int character)
{
    return character == ' ' || character == '\t' || character == '\n' || character == '\v' ||
           character == '\f' || character == '\r';
}

bool isDigit(int character)
{
    return character >= '0' && character <= '9';
}

} // namespace

Text::Text(const char* utf8)
{
    if (utf8 != nullptr && *utf8 != '\0')
        m_bytes = encode(QString::fromUtf8(utf8)).m_bytes;
}

Text Text::fromBytes(std::string bytes)
{
    Text text;
    text.m_bytes = std::move(bytes);
    return text;
}

Text Text::fromQString(const QString& string)
{
    return encode(string);
}

QString Text::toQString() const
{
    QStringDecoder decoder(storedEncoding);
    return decoder.decode(QByteArrayView(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())));
}

Text toText(double value)
{
    char result[32];
    char* out = result;

    if (std::isnan(value))
        return newText("nan", 3);
    if (value == 0)
        return newText("0", 1);
    if (value < 0)
        *out++ = '-';
    if (std::isinf(value)) {
        out = std::copy_n("inf", 3, out);
        return newText(result, static_cast<std::size_t>(out - result));
    }

    // The exact decimal expansion: a double has at most 767 significant digits, so 800
    // after the first leave nothing to round.
    char expansion[900];
    std::snprintf(expansion, sizeof expansion, "%.800e", value < 0 ? -value : value);

    // The digits, whatever the locale writes as the decimal point, then the exponent.
    constexpr int significant = 13;
    char digits[significant + 1];
    int count = 0;
    bool roundUp = false;
    const char* read = expansion;
    for (; *read != '\0' && *read != 'e'; ++read) {
        if (!isDigit(*read))
            continue;
        if (count < significant)
            digits[count++] = *read;
        else if (count == significant) {
            // The first digit dropped decides: the rest only tells a tie (rounded away
            // from zero too) from more than a half.
            roundUp = *read >= '5';
            ++count;
        }
    }
    int exponent = 0;
    if (*read == 'e')
        std::sscanf(read + 1, "%d", &exponent);

    // Round half away from zero at the thirteenth digit.
    count = significant;
    if (roundUp) {
        int index = significant - 1;
        while (index >= 0 && digits[index] == '9')
            digits[index--] = '0';
        if (index >= 0) {
            ++digits[index];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (exponent >= -4 && exponent < significant) {
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            for (int zero = -1; zero > exponent; --zero)
                *out++ = '0';
            out = std::copy_n(digits, count, out);
        } else {
            for (int index = 0; index <= exponent; ++index)
                *out++ = index < count ? digits[index] : '0';
            if (count > exponent + 1) {
                *out++ = '.';
                out = std::copy(digits + exponent + 1, digits + count, out);
            }
        }
    } else {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + count, out);
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 100)
            *out++ = '0';
        if (magnitude < 10)
            *out++ = '0';
        out = writeDecimal(out, static_cast<std::uint64_t>(magnitude));
    }
    return newText(result, static_cast<std::size_t>(out - result));
}

Text toText(int value)
{
    char result[16];
    char* out = result;
    std::int64_t wide = value;
    if (wide < 0) {
        *out++ = '-';
        wide = -wide;
    }
    out = writeDecimal(out, static_cast<std::uint64_t>(wide));
    return newText(result, static_cast<std::size_t>(out - result));
}

Text toText(const DateTime& value)
{
    // GBK for 年 月 日 时 分 秒.
    static constexpr char year[] = "\xC4\xEA";
    static constexpr char month[] = "\xD4\xC2";
    static constexpr char day[] = "\xC8\xD5";
    static constexpr char hour[] = "\xCA\xB1";
    static constexpr char minute[] = "\xB7\xD6";
    static constexpr char second[] = "\xC3\xEB";

    char result[128];
    int length = std::snprintf(result, sizeof result, "%d%s%d%s%d%s", value.year, year, value.month,
                               month, value.day, day);
    char* const rest = result + length;
    const std::size_t room = sizeof result - static_cast<std::size_t>(length);
    if (value.second != 0)
        length += std::snprintf(rest, room, "%d%s%d%s%d%s", value.hour, hour, value.minute, minute,
                                value.second, second);
    else if (value.minute != 0)
        length += std::snprintf(rest, room, "%d%s%d%s", value.hour, hour, value.minute, minute);
    else if (value.hour != 0)
        length += std::snprintf(rest, room, "%d%s", value.hour, hour);
    return newText(result, static_cast<std::size_t>(length));
}

DateTime currentDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    return result;
}

int toWholeNumber(const Text& text)
{
    const std::string& bytes = text.bytes();
    const std::size_t size = bytes.size();
    std::size_t position = 0;
    int character = -1;
    const auto next = [&] { character = position < size ? nextCharacter(bytes, position) : -1; };

    next();
    while (isWhiteSpace(character))
        next();
    bool negative = false;
    if (character == '+' || character == '-') {
        negative = character == '-';
        next();
    }
    std::uint32_t value = 0;
    while (isDigit(character)) {
        value = value * 10u + static_cast<std::uint32_t>(character - '0');
        next();
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

Text joinParts(std::initializer_list<const Text*> parts)
{
    std::size_t size = 0;
    for (const Text* part : parts)
        size += part->size();
    std::string bytes = reserveBytes(size);
    for (const Text* part : parts)
        bytes += part->bytes();
    return Text::fromBytes(std::move(bytes));
}
