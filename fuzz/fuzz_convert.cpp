// Feeds any bytes to ReadChannel and ConvertColour and checks what must hold
// for every input, not only that nothing crashes.
//
// Input: the first byte picks the decimal separator; the rest is split at
// newlines into the R, G and B texts.
#include "colour_conversion.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition, const char* what, std::string_view text)
{
    if (condition)
        return;
    std::fprintf(stderr, "property failed: %s\ntext: \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

constexpr std::string_view kSeparators[] = {".", ",", "\xD9\xAB", "\xC2\xB7"};

// For a text made only of digits, signs, "e"/"E", full stops and the separator,
// the C library's strtod (in the "C" locale) is an independent judge of the
// grammar and the value. Returns false when the text has other characters.
bool StrtodVerdict(std::string_view text, std::string_view separator, bool& numeric, double& value)
{
    std::string translated;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i).starts_with(separator)) {
            translated += '.';
            i += separator.size();
            continue;
        }
        const char c = text[i++];
        if (c == '.')
            translated += '#';  // a full stop that is not the separator is not a number
        else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E')
            translated += c;
        else
            return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(translated.c_str(), &end);
    numeric = !translated.empty() && end == translated.c_str() + translated.size();
    return true;
}

void CheckReading(std::string_view text, std::string_view separator)
{
    const quorvel::ChannelReading reading = quorvel::ReadChannel(text, separator);
    Check(reading.text == text, "the reading keeps the text", text);
    Check(!reading.acceptable || reading.numeric, "acceptable implies numeric", text);
    Check(!reading.acceptable || (reading.value >= 0.0 && reading.value <= 255.0), "acceptable implies 0..255", text);
    Check(!reading.numeric || reading.value == reading.value, "a number is never NaN", text);

    bool expectedNumeric = false;
    double expectedValue = 0.0;
    if (StrtodVerdict(text, separator, expectedNumeric, expectedValue)) {
        Check(reading.numeric == expectedNumeric, "numeric agrees with strtod", text);
        Check(!expectedNumeric || reading.value == expectedValue, "value agrees with strtod", text);
    }
}

// A ".000" text: digits with no leading zero, the separator, three digits; 0 to 100.
void CheckPercentage(const std::string& text, std::string_view separator)
{
    const std::size_t at = text.find(separator);
    Check(at != std::string::npos, "output has the separator", text);
    const std::string whole = text.substr(0, at);
    const std::string fraction = text.substr(at + separator.size());
    Check(fraction.size() == 3 && fraction.find_first_not_of("0123456789") == std::string::npos,
          "output has three decimals", text);
    Check(whole.find_first_not_of("0123456789") == std::string::npos, "output's integer part is digits", text);
    Check(whole.empty() || whole[0] != '0', "output has no leading zero", text);
    Check(whole.size() < 3 || (whole == "100" && fraction == "000"), "output is at most 100", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view separator = kSeparators[data[0] % std::size(kSeparators)];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string_view texts[3];
    for (std::string_view& text : texts) {
        const std::size_t newline = rest.find('\n');
        text = rest.substr(0, newline);
        rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
        CheckReading(text, separator);
    }

    const quorvel::ConversionResult result = quorvel::ConvertColour(texts[0], texts[1], texts[2], separator);
    if (result.ok) {
        Check(result.kText == "0", "K is \"0\"", texts[0]);
        Check(result.colour <= 0xFFFFFFu, "the top byte is 0", texts[0]);
        for (const std::string* output : {&result.cText, &result.mText, &result.yText})
            CheckPercentage(*output, separator);
    } else {
        const auto failed = static_cast<std::size_t>(result.failedChannel);
        Check(result.message == quorvel::kChannels[failed].message, "the message is the channel's", texts[failed]);
        Check(!quorvel::ReadChannel(texts[failed], separator).acceptable, "the failed channel is bad", texts[failed]);
        for (std::size_t i = 0; i < failed; ++i)
            Check(quorvel::ReadChannel(texts[i], separator).acceptable, "earlier channels are good", texts[i]);
    }
    return 0;
}
