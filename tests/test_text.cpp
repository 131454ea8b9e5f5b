#include "support.h"

#include "services/text.h"

#include <QApplication>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

QByteArray bytesOf(const Text& text)
{
    return QByteArray::fromStdString(text.bytes());
}

QByteArray gb18030(const QString& string)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(string);
}

Text textOfBytes(const QByteArray& bytes)
{
    return Text::fromBytes(bytes.toStdString());
}

// "%.13g" of the C library with the exponent written in three digits. The C library
// rounds an exact tie to even, so this is the expected text only for values that are not
// exact ties.
QByteArray printfReference(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    QByteArray result(buffer);
    const qsizetype e = result.indexOf('e');
    if (e >= 0) {
        QByteArray digits = result.mid(e + 2);
        while (digits.size() < 3)
            digits.prepend('0');
        result = result.left(e + 2) + digits;
    }
    return result;
}

// Whether the 13-digit rounding of |value| meets an exact tie: the exact decimal
// expansion goes on after its 13th significant digit with a 5 and nothing but zeros.
bool isExactTie(double value)
{
    char buffer[1000];
    std::snprintf(buffer, sizeof buffer, "%.900e", std::fabs(value));
    QByteArray digits;
    for (const char* read = buffer; *read != '\0' && *read != 'e'; ++read)
        if (*read >= '0' && *read <= '9')
            digits += *read;
    if (digits.at(13) != '5')
        return false;
    for (qsizetype index = 14; index < digits.size(); ++index)
        if (digits.at(index) != '0')
            return false;
    return true;
}

// The expected text of k / 2, worked out in integer arithmetic: the value is m / 10
// with m = 5|k|.
QByteArray expectedHalf(std::int64_t k)
{
    const bool negative = k < 0;
    std::uint64_t m = static_cast<std::uint64_t>(negative ? -k : k) * 5u;
    if (m == 0)
        return "0";
    int length = 0;
    for (std::uint64_t rest = m; rest != 0; rest /= 10)
        ++length;
    int exponent = length - 2; // decimal exponent of m / 10
    std::uint64_t scale = 1;   // m = q * scale + r after rounding to 13 digits
    for (int index = 13; index < length; ++index)
        scale *= 10;
    std::uint64_t q = m / scale;
    const std::uint64_t r = m % scale;
    if (scale > 1 && 2 * r >= scale)
        ++q;
    if (q == 10000000000000ull) {
        q = 1000000000000ull;
        ++exponent;
        scale *= 10;
    }
    QByteArray result = negative ? "-" : "";
    if (exponent >= -4 && exponent < 13) {
        const std::uint64_t rounded = q * scale; // tenths
        result += QByteArray::number(static_cast<qulonglong>(rounded / 10));
        if (rounded % 10 != 0)
            result += '.' + QByteArray::number(static_cast<qulonglong>(rounded % 10));
    } else {
        QByteArray digits = QByteArray::number(static_cast<qulonglong>(q));
        while (digits.endsWith('0'))
            digits.chop(1);
        result += digits.left(1);
        if (digits.size() > 1)
            result += '.' + digits.mid(1);
        result += 'e';
        result += exponent < 0 ? '-' : '+';
        result += QByteArray::number(std::abs(exponent)).rightJustified(3, '0');
    }
    return result;
}

// An independent model of toWholeNumber: decodes the text to Unicode, maps the code
// points the full-width rule names and reads the number in 64-bit arithmetic reduced
// modulo 2^32 at every step.
int referenceWholeNumber(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    const QList<uint> codePoints = QString(decoder.decode(bytes)).toUcs4();
    QList<uint> mapped;
    for (uint c : codePoints) {
        if (c == 0x3000)
            c = ' ';
        else if (c == 0xFF5E || c == 0xFFE3) // A1AB and A3FE
            c = '~';
        else if (c == 0xFFE5) // A3A4
            c = '$';
        else if (c == 0x2605 || c == 0x2606) // A1EF and A1EE
            c = '*';
        else if (c >= 0xFF01 && c <= 0xFF5D && c != 0xFF04) // A3A1..A3FD
            c -= 0xFEE0;
        mapped.append(c);
    }
    const auto isSpace = [](uint c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    qsizetype at = 0;
    while (at < mapped.size() && isSpace(mapped[at]))
        ++at;
    bool negative = false;
    if (at < mapped.size() && (mapped[at] == '+' || mapped[at] == '-')) {
        negative = mapped[at] == '-';
        ++at;
    }
    constexpr std::int64_t modulus = std::int64_t(1) << 32;
    std::int64_t value = 0;
    while (at < mapped.size() && mapped[at] >= '0' && mapped[at] <= '9') {
        value = (value * 10 + (mapped[at] - '0')) % modulus;
        ++at;
    }
    if (negative)
        value = (modulus - value) % modulus;
    if (value >= modulus / 2)
        value -= modulus;
    return static_cast<int>(value);
}

QByteArray twoBytes(unsigned code)
{
    QByteArray result;
    result += static_cast<char>(code >> 8);
    result += static_cast<char>(code & 0xFF);
    return result;
}

} // namespace

class TestText : public QObject {
    Q_OBJECT

private slots:
    void encodingIsAvailable();
    void conversions();
    void doubles_data();
    void doubles();
    void doubleHalves();
    void doublesAgainstPrintf();
    void doublesInAnotherLocale();
    void integers_data();
    void integers();
    void dates_data();
    void dates();
    void currentDateTimeIsNow();
    void wholeNumbers_data();
    void wholeNumbers();
    void fullWidthForms();
    void wholeNumbersAgainstModel();
    void joining();
};

void TestText::encodingIsAvailable()
{
    QVERIFY(QStringEncoder("GB18030").isValid());
    QVERIFY(QStringDecoder("GB18030").isValid());
}

void TestText::conversions()
{
    QCOMPARE(bytesOf(Text("本班")), QByteArray("\xB1\xBE\xB0\xE0"));
    QCOMPARE(bytesOf(Text("＜7")), QByteArray("\xA3\xBC\x37"));
    QCOMPARE(Text("本班得分：").size(), std::size_t(10));
    QCOMPARE(bytesOf(Text("年月日时分秒")),
             QByteArray("\xC4\xEA\xD4\xC2\xC8\xD5\xCA\xB1\xB7\xD6\xC3\xEB"));
    // Characters outside GBK are kept (four-byte GB18030).
    QCOMPARE(bytesOf(Text("\u0080")), QByteArray("\x81\x30\x81\x30"));
    QCOMPARE(Text("a😀€").toQString(), QString::fromUtf8("a😀€"));

    QVERIFY(Text().isEmpty());
    QCOMPARE(Text(""), Text());
    QCOMPARE(Text(static_cast<const char*>(nullptr)), Text());
    QCOMPARE(Text::fromBytes(std::string()), Text());
    QCOMPARE(Text::fromQString(QString()), Text());
    QCOMPARE(Text().toQString(), QString());

    const QString mixed = QString::fromUtf8("卫生检查 ｛１２．５｝ №😀 é ☆★～");
    QCOMPARE(Text::fromQString(mixed).toQString(), mixed);
    QCOMPARE(Text::fromQString(mixed), Text("卫生检查 ｛１２．５｝ №😀 é ☆★～"));
    QCOMPARE(bytesOf(Text::fromQString(mixed)), gb18030(mixed));
    QCOMPARE(bytesOf(Text::fromBytes("\xB1\xBE")), QByteArray("\xB1\xBE"));
    QCOMPARE(Text::fromBytes("\xB1\xBE").toQString(), QString::fromUtf8("本"));
}

void TestText::doubles_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("27.5") << 27.5 << QByteArray("27.5");
    QTest::newRow("30") << 30.0 << QByteArray("30");
    QTest::newRow("-3") << -3.0 << QByteArray("-3");
    QTest::newRow("0") << 0.0 << QByteArray("0");
    QTest::newRow("-0") << -0.0 << QByteArray("0");
    QTest::newRow("-0.5") << -0.5 << QByteArray("-0.5");
    QTest::newRow("sum") << 2 + 6 + 4 + 1 + 3 - 0.5 << QByteArray("15.5");
    QTest::newRow("0.1+0.2") << 0.1 + 0.2 << QByteArray("0.3");
    QTest::newRow("1/3") << 1.0 / 3 << QByteArray("0.3333333333333");
    QTest::newRow("2/3") << 2.0 / 3 << QByteArray("0.6666666666667");
    QTest::newRow("-2/3") << -2.0 / 3 << QByteArray("-0.6666666666667");
    QTest::newRow("100") << 100.0 << QByteArray("100");
    QTest::newRow("0.25") << 0.25 << QByteArray("0.25");

    // Fourteen significant digits round to thirteen.
    QTest::newRow("pi") << 3.14159265358979 << QByteArray("3.14159265359");
    QTest::newRow("14 digits down") << 1.2345678901234 << QByteArray("1.234567890123");
    QTest::newRow("14 digits up") << 1.2345678901236 << QByteArray("1.234567890124");
    // 1.2345678901235 is held as 1.23456789012349998..., just below the tie.
    QTest::newRow("14 digits near tie") << 1.2345678901235 << QByteArray("1.234567890123");
    QTest::newRow("-14 digits near tie") << -1.2345678901235 << QByteArray("-1.234567890123");
    QTest::newRow("-14 digits up") << -1.2345678901236 << QByteArray("-1.234567890124");
    QTest::newRow("13 digits kept") << 1.234567890123 << QByteArray("1.234567890123");

    // Exact ties go away from zero (the C library would go to even).
    QTest::newRow("tie 1234567890122.5") << 1234567890122.5 << QByteArray("1234567890123");
    QTest::newRow("tie -1234567890122.5") << -1234567890122.5 << QByteArray("-1234567890123");
    QTest::newRow("tie 1234567890123.5") << 1234567890123.5 << QByteArray("1234567890124");
    QTest::newRow("tie -1234567890123.5") << -1234567890123.5 << QByteArray("-1234567890124");
    QTest::newRow("tie 1000000000000.5") << 1000000000000.5 << QByteArray("1000000000001");
    QTest::newRow("tie 12345678901225") << 12345678901225.0 << QByteArray("1.234567890123e+013");
    QTest::newRow("tie -12345678901225") << -12345678901225.0 << QByteArray("-1.234567890123e+013");
    QTest::newRow("tie 2^-20") << std::ldexp(1.0, -20) << QByteArray("9.536743164063e-007");
    QTest::newRow("tie -2^-20") << -std::ldexp(1.0, -20) << QByteArray("-9.536743164063e-007");
    QTest::newRow("no tie 2^-21") << std::ldexp(1.0, -21) << QByteArray("4.768371582031e-007");
    QTest::newRow("2^53") << 9007199254740992.0 << QByteArray("9.007199254741e+015");

    // Exponent boundaries.
    QTest::newRow("1e13") << 1e13 << QByteArray("1e+013");
    QTest::newRow("-1e13") << -1e13 << QByteArray("-1e+013");
    QTest::newRow("1e13-0.5") << 1e13 - 0.5 << QByteArray("1e+013");
    QTest::newRow("-(1e13-0.5)") << -(1e13 - 0.5) << QByteArray("-1e+013");
    QTest::newRow("1e13-1") << 1e13 - 1 << QByteArray("9999999999999");
    QTest::newRow("9999999999999.4") << 9999999999999.4 << QByteArray("9999999999999");
    QTest::newRow("1e13+1") << 1e13 + 1 << QByteArray("1e+013");
    QTest::newRow("1e13+2e9") << 1e13 + 2e9 << QByteArray("1.0002e+013");
    QTest::newRow("e=12") << 999999999999.5 << QByteArray("999999999999.5");
    QTest::newRow("e=12 integer") << 123456789012.0 << QByteArray("123456789012");
    QTest::newRow("e=12 1e12") << 1e12 << QByteArray("1000000000000");
    QTest::newRow("e=12 fraction") << 1234567890123.25 << QByteArray("1234567890123");
    QTest::newRow("0.0001") << 0.0001 << QByteArray("0.0001");
    QTest::newRow("e=-4") << 0.00012345 << QByteArray("0.00012345");
    QTest::newRow("-0.0001") << -0.0001 << QByteArray("-0.0001");
    QTest::newRow("carry into e=-4") << 9.99999999999996e-5 << QByteArray("0.0001");
    QTest::newRow("e=-5 13 nines") << 9.999999999999e-5 << QByteArray("9.999999999999e-005");
    QTest::newRow("0.00001") << 0.00001 << QByteArray("1e-005");
    QTest::newRow("0.000025") << 0.000025 << QByteArray("2.5e-005");
    QTest::newRow("-0.000012345") << -0.000012345 << QByteArray("-1.2345e-005");
    QTest::newRow("1.5e-7") << 1.5e-7 << QByteArray("1.5e-007");
    QTest::newRow("1e99") << 1e99 << QByteArray("1e+099");
    QTest::newRow("1e100") << 1e100 << QByteArray("1e+100");
    QTest::newRow("1e300") << 1e300 << QByteArray("1e+300");
    QTest::newRow("1e-300") << 1e-300 << QByteArray("1e-300");
    QTest::newRow("-1.25e-300") << -1.25e-300 << QByteArray("-1.25e-300");
    QTest::newRow("subnormal") << 1e-310 << QByteArray("1e-310");
    QTest::newRow("smallest") << std::numeric_limits<double>::denorm_min()
                              << QByteArray("4.940656458412e-324");
    QTest::newRow("largest") << DBL_MAX << QByteArray("1.797693134862e+308");
    QTest::newRow("-largest") << -DBL_MAX << QByteArray("-1.797693134862e+308");
    QTest::newRow("smallest normal") << DBL_MIN << QByteArray("2.225073858507e-308");
}

void TestText::doubles()
{
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytesOf(toText(value)), expected);
}

void TestText::doubleHalves()
{
    int checked = 0;
    QString failure;
    const auto check = [&](std::int64_t k) {
        const double value = static_cast<double>(k) / 2;
        const QByteArray actual = bytesOf(toText(value));
        const QByteArray expected = expectedHalf(k);
        if (actual != expected && failure.isEmpty())
            failure = QStringLiteral("%1/2: got %2, expected %3")
                          .arg(k)
                          .arg(QString::fromLatin1(actual), QString::fromLatin1(expected));
        ++checked;
    };
    for (std::int64_t k = -30000; k <= 30000; ++k)
        check(k);
    // Around the point where 13 digits stop holding the half, and around 10^13.
    const std::int64_t centres[] = {2000000000000ll,  20000000000000ll,  200000000000000ll,
                                    2468024680246ll,  24680246802469ll,  2 * 1234567890122ll,
                                    19999999999999ll, 199999999999999ll, 2000000000000000ll};
    for (std::int64_t centre : centres)
        for (std::int64_t k = centre - 2000; k <= centre + 2000; ++k) {
            check(k);
            check(-k);
        }
    QRandomGenerator random(20090305);
    for (int index = 0; index < 30000; ++index) {
        const int bits = random.bounded(1, 54);
        const std::int64_t k = static_cast<std::int64_t>(random.generate64() >> (64 - bits));
        check(random.bounded(2) ? k : -k);
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(checked > 150000);
}

void TestText::doublesAgainstPrintf()
{
    QRandomGenerator random(5032009);
    int compared = 0;
    QString failure;
    const auto check = [&](double value) {
        if (!std::isfinite(value) || isExactTie(value))
            return;
        const QByteArray actual = bytesOf(toText(value));
        const QByteArray expected = value == 0 ? QByteArray("0") : printfReference(value);
        if (actual != expected && failure.isEmpty())
            failure = QStringLiteral("%1: got %2, expected %3")
                          .arg(value, 0, 'g', 17)
                          .arg(QString::fromLatin1(actual), QString::fromLatin1(expected));
        ++compared;
    };
    for (int index = 0; index < 20000; ++index) {
        // Any bit pattern.
        const std::uint64_t bits = random.generate64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        check(value);
        // Moderate magnitudes, where the positional form is used.
        check((random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-8, 16)));
        // Fourteen-digit decimals ending in 5: the nearest double is just above or below
        // the tie, and only the exact expansion tells which.
        char decimal[64];
        std::snprintf(decimal, sizeof decimal, "%s%d.%012llu5e%d", random.bounded(2) ? "-" : "",
                      random.bounded(1, 10),
                      static_cast<unsigned long long>(random.bounded(1000000000000ull)),
                      random.bounded(-20, 20));
        check(std::strtod(decimal, nullptr));
        // Small dyadic fractions (many of them are exact ties, which are skipped here).
        check(std::ldexp(static_cast<double>(random.bounded(1, 1 << 30)), random.bounded(-60, 1)));
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(compared > 70000);
}

void TestText::doublesInAnotherLocale()
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const QByteArray saved = previous ? QByteArray(previous) : QByteArray("C");
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    bool found = false;
    for (const char* name : names)
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = true;
            break;
        }
    if (!found)
        QSKIP("no locale with a decimal comma is installed");
    const QByteArray half = bytesOf(toText(27.5));
    const QByteArray small = bytesOf(toText(0.000025));
    std::setlocale(LC_NUMERIC, saved.constData());
    QCOMPARE(half, QByteArray("27.5"));
    QCOMPARE(small, QByteArray("2.5e-005"));
}

void TestText::integers_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("0") << 0 << QByteArray("0");
    QTest::newRow("42") << 42 << QByteArray("42");
    QTest::newRow("-7") << -7 << QByteArray("-7");
    QTest::newRow("10") << 10 << QByteArray("10");
    QTest::newRow("-100") << -100 << QByteArray("-100");
    QTest::newRow("max") << 2147483647 << QByteArray("2147483647");
    QTest::newRow("min") << std::numeric_limits<int>::min() << QByteArray("-2147483648");
}

void TestText::integers()
{
    QFETCH(int, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytesOf(toText(value)), expected);
}

void TestText::dates_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("expected");
    QTest::newRow("8:07:30") << 8 << 7 << 30 << QStringLiteral("2009年3月5日8时7分30秒");
    QTest::newRow("8:07:00") << 8 << 7 << 0 << QStringLiteral("2009年3月5日8时7分");
    QTest::newRow("8:00:00") << 8 << 0 << 0 << QStringLiteral("2009年3月5日8时");
    QTest::newRow("midnight") << 0 << 0 << 0 << QStringLiteral("2009年3月5日");
    QTest::newRow("00:00:07") << 0 << 0 << 7 << QStringLiteral("2009年3月5日0时0分7秒");
    QTest::newRow("00:30:00") << 0 << 30 << 0 << QStringLiteral("2009年3月5日0时30分");
    QTest::newRow("14:00:00") << 14 << 0 << 0 << QStringLiteral("2009年3月5日14时");
    QTest::newRow("09:05:00") << 9 << 5 << 0 << QStringLiteral("2009年3月5日9时5分");
    QTest::newRow("23:59:59") << 23 << 59 << 59 << QStringLiteral("2009年3月5日23时59分59秒");
    QTest::newRow("08:00:05") << 8 << 0 << 5 << QStringLiteral("2009年3月5日8时0分5秒");
}

void TestText::dates()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(QString, expected);
    const DateTime value{2009, 3, 5, hour, minute, second};
    const Text text = toText(value);
    QCOMPARE(text.toQString(), expected);
    QCOMPARE(bytesOf(text), gb18030(expected));

    const DateTime december{2024, 12, 31, hour, minute, second};
    QCOMPARE(toText(december).toQString(),
             QString(expected).replace(QStringLiteral("2009年3月5日"),
                                       QStringLiteral("2024年12月31日")));
}

void TestText::currentDateTimeIsNow()
{
    const std::time_t before = std::time(nullptr);
    const DateTime now = currentDateTime();
    const std::time_t after = std::time(nullptr);

    QVERIFY(now.month >= 1 && now.month <= 12);
    QVERIFY(now.day >= 1 && now.day <= 31);
    QVERIFY(now.hour >= 0 && now.hour <= 23);
    QVERIFY(now.minute >= 0 && now.minute <= 59);
    QVERIFY(now.second >= 0 && now.second <= 60);

    std::tm local{};
    local.tm_year = now.year - 1900;
    local.tm_mon = now.month - 1;
    local.tm_mday = now.day;
    local.tm_hour = now.hour;
    local.tm_min = now.minute;
    local.tm_sec = now.second;
    local.tm_isdst = -1;
    const std::time_t back = std::mktime(&local);
    // Within the two readings (an hour's slack only where daylight saving is ambiguous).
    QVERIFY2((back >= before && back <= after) || std::abs(back - before) == 3600,
             qPrintable(QStringLiteral("%1 not in [%2, %3]").arg(back).arg(before).arg(after)));

    const QDateTime qt = QDateTime::currentDateTime();
    QVERIFY(std::abs(qt.date().year() - now.year) <= 1);
}

void TestText::wholeNumbers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");

    const auto add = [](const char* name, const QByteArray& bytes, int expected) {
        QTest::newRow(name) << bytes << expected;
    };
    const auto text = [](const char* utf8) { return gb18030(QString::fromUtf8(utf8)); };

    add("empty", QByteArray(), 0);
    add("42", "42", 42);
    add("  -17", "  -17", -17);
    add("+8", "+8", 8);
    add("3.9", "3.9", 3);
    add("12abc", "12abc", 12);
    add("abc", "abc", 0);
    add("- 5", "- 5", 0);
    add("--5", "--5", 0);
    add("+-5", "+-5", 0);
    add("+", "+", 0);
    add("-", "-", 0);
    add("5 6", "5 6", 5);
    add("\\r\\n7", "\r\n7", 7);
    add("all white space", " \t\n\v\f\r-9", -9);
    add("only white space", " \t ", 0);
    add("-0", "-0", 0);
    add("leading zeros", "000123", 123);
    add("trailing space", "12 ", 12);
    add("full-width 12", text("１２"), 12);
    add("full-width -3", text("－３"), -3);
    add("full-width +3", text("＋３"), 3);
    add("ideographic space", text("　５"), 5);
    add("ideographic spaces and tab", text("　\t　－４２"), -42);
    add("mixed widths", text("1２3"), 123);
    add("full-width point", text("３．５"), 3);
    add("full-width letters", text("７ｋｇ"), 7);
    add("Chinese after", text("12分"), 12);
    add("Chinese before", text("分12"), 0);
    add("sign then ideographic space", text("-　5"), 0);
    add("A1AB stops", text("5～6"), 5);
    add("A1EE stops", twoBytes(0xA1EE) + "5", 0);
    add("A1EF stops", "5" + twoBytes(0xA1EF) + "6", 5);
    add("star then digits", text("☆12"), 0);

    // Range ends and wrap modulo 2^32.
    add("2147483647", "2147483647", 2147483647);
    add("2147483648", "2147483648", std::numeric_limits<int>::min());
    add("-2147483648", "-2147483648", std::numeric_limits<int>::min());
    add("-2147483649", "-2147483649", 2147483647);
    add("4294967295", "4294967295", -1);
    add("4294967296", "4294967296", 0);
    add("4294967297", "4294967297", 1);
    add("-4294967297", "-4294967297", -1);
    add("full-width 2147483648", text("２１４７４８３６４８"), std::numeric_limits<int>::min());
    add("20 nines", "99999999999999999999", 1661992959);
    add("10^20", "100000000000000000000", 1661992960);

    // Stepping over whole characters.
    add("four-byte U+0080", "\x81\x30\x81\x30", 0);
    add("digit then four-byte",
        "5\x81\x30\x81\x30"
        "7",
        5);
    add("four-byte hiding a full-width digit", "7\x81\x30\xA3\xB5", 7);
    add("four-byte at start hiding digits",
        "\x81\x30\x31\x32"
        "5",
        0);
    add("cut four-byte at end", "5\x81\x35", 5);
    add("lead A3 then digit is four-byte", "\xA3\x35\x36\x37", 0);
    add("two-byte swallows plus", "\x81+5", 0);
    add("two-byte swallows space", "\x81 5", 0);
    add("lone lead at end", "5\xA3", 5);
    add("lone lead alone", "\xA3", 0);
    add("byte 80",
        "\x80"
        "5",
        0);
    add("byte FF",
        "\xFF"
        "5",
        0);
    add("GBK char then digit",
        "\xB1\xBE"
        "5",
        0);
    add("emoji", text("😀5"), 0);
}

void TestText::wholeNumbers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(toWholeNumber(textOfBytes(bytes)), expected);
}

void TestText::fullWidthForms()
{
    // Every A3A1..A3FE form, before "7" and after "5".
    for (unsigned code = 0xA3A1; code <= 0xA3FE; ++code) {
        const char ascii = static_cast<char>((code & 0xFF) - 0x80);
        const QByteArray form = twoBytes(code);
        int before = 0;
        int after = 5;
        if (ascii >= '0' && ascii <= '9') {
            before = (ascii - '0') * 10 + 7;
            after = 50 + (ascii - '0');
        } else if (ascii == '+') {
            before = 7;
        } else if (ascii == '-') {
            before = -7;
        }
        QCOMPARE(toWholeNumber(textOfBytes(form + "7")), before);
        QCOMPARE(toWholeNumber(textOfBytes("5" + form)), after);
        QCOMPARE(toWholeNumber(textOfBytes(form + "7")),
                 toWholeNumber(textOfBytes(QByteArray(1, ascii) + "7")));
    }
    // The ends of the range and the first forms outside it.
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3A1) + "7")), 0); // "!"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3FE) + "7")), 0); // "~"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3A0) + "7")), 0);
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3AB) + "7")), 7);  // "+"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3AD) + "7")), -7); // "-"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3B0) + "7")), 7);  // "0"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA3B9) + "7")), 97); // "9"
    // The ideographic space is white space; A1AB, A1EE and A1EF are not digits.
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1A1) + twoBytes(0xA1A1) + "-7")), -7);
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1AB) + "7")), 0);
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1EE) + "7")), 0);
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1EF) + "7")), 0);
    QCOMPARE(toWholeNumber(textOfBytes("7" + twoBytes(0xA1EE) + "7")), 7);
    // Characters near the mapped ones pass through and stop the number.
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1A2) + "7")), 0);
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA1E7) + "7")), 0); // "＄"
    QCOMPARE(toWholeNumber(textOfBytes(twoBytes(0xA2B1) + "7")), 0);
}

void TestText::wholeNumbersAgainstModel()
{
    static const char* const pieces[] = {
        "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",      "9",  "9",  "0",  "+",  "-",
        " ",  "\t", "\n", "\v", "\f", "\r", "．", ".", "０",     "１", "２", "３", "４", "５",
        "６", "７", "８", "９", "＋", "－", "　", "a", "Z",      "x",  "ｋ", "分", "本", "班",
        "☆",  "★",  "～", "￣", "￥", "＄", "€",  "😀", "\u0080", "é",  "·",  "—",  "，", "e"};
    constexpr int pieceCount = int(sizeof pieces / sizeof pieces[0]);
    static const char* const starts[] = {"", " ", "  ", "　", "\t", "+", "-", "－", "＋", "\r\n"};
    constexpr int startCount = int(sizeof starts / sizeof starts[0]);

    QRandomGenerator random(1234567);
    for (int index = 0; index < 20000; ++index) {
        QString input = QString::fromUtf8(starts[random.bounded(startCount)]);
        const int length = random.bounded(0, 16);
        const bool digitsFirst = random.bounded(3) == 0;
        for (int at = 0; at < length; ++at) {
            if (digitsFirst && at < length / 2) {
                const int digit = random.bounded(10);
                input += random.bounded(2) ? QChar(u'0' + digit) : QChar(0xFF10 + digit);
            } else {
                input += QString::fromUtf8(pieces[random.bounded(pieceCount)]);
            }
        }
        const QByteArray bytes = gb18030(input);
        const int actual = toWholeNumber(textOfBytes(bytes));
        const int expected = referenceWholeNumber(bytes);
        QVERIFY2(actual == expected,
                 qPrintable(QStringLiteral("\"%1\" (%2): got %3, expected %4")
                                .arg(input, QString::fromLatin1(bytes.toHex(' ')))
                                .arg(actual)
                                .arg(expected)));
    }
}

void TestText::joining()
{
    const Text joined = joinTexts("本班得分：", Text(), "         请记录");
    QCOMPARE(joined, Text("本班得分：         请记录"));
    QCOMPARE(joined.size(), Text("本班得分：").size() + 9 + Text("请记录").size());
    QCOMPARE(bytesOf(joinTexts("＜", "7")), QByteArray("\xA3\xBC\x37"));
    QCOMPARE(joinTexts("＜", "7").size(), std::size_t(3));
    QCOMPARE(joinTexts(Text(), Text()), Text());
    QCOMPARE(joinTexts("a", "b", "c", Text("d"), toText(12), toText(0.5)), Text("abcd120.5"));
    QCOMPARE(joinParts({}), Text());
    const Text single("x");
    QCOMPARE(joinParts({&single}), single);

    // Parts are copied, not shared: the parts stay as they were.
    const Text first = Text("前");
    const Text second = Text::fromBytes(std::string("\x00\x01", 2));
    const Text both = joinTexts(first, second);
    QCOMPARE(both.size(), std::size_t(4));
    QCOMPARE(bytesOf(both), QByteArray("\xC7\xB0\x00\x01", 4));
    QCOMPARE(first, Text("前"));
}

INSPECTION_TEST_MAIN(TestText)

#include "test_text.moc"
