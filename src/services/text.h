#pragma once

#include <string>
#include <type_traits>

class QString;

// A text of the program: GBK bytes, lengths in bytes, the empty text standing for an
// absent one. It is stored in GB18030, which writes every GBK character with the same
// bytes and also keeps characters outside GBK, so nothing a user types is lost.
class Text {
public:
    Text() = default;
    // A literal of the program's own source, which is UTF-8.
    Text(const char* utf8);
    static Text fromBytes(std::string bytes);
    static Text fromQString(const QString& string);

    QString toQString() const;
    const std::string& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.empty(); }

    friend bool operator==(const Text&, const Text&) = default;

private:
    std::string m_bytes;
};

// Local date and time to the second.
struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

Text toText(double value);
Text toText(int value);
Text toText(const DateTime& value);
DateTime currentDateTime();
int toWholeNumber(const Text& text);

// The parts are joined where they stand: a large text is not copied on its way in.
Text joinParts(std::initializer_list<const Text*> parts);
template <class T> decltype(auto) asText(const T& part)
{
    if constexpr (std::is_same_v<T, Text>)
        return (part);
    else
        return Text(part);
}
template <class A, class B, class... Rest>
Text joinTexts(const A& first, const B& second, const Rest&... rest)
{
    return joinParts({&static_cast<const Text&>(asText(first)),
                      &static_cast<const Text&>(asText(second)),
                      &static_cast<const Text&>(asText(rest))...});
}
