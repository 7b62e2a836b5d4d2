#include "DevicePath.h"

namespace tessar {

namespace {

constexpr std::size_t MaxWidth = 32;

std::string formatNumber(int64_t number, bool zeroPadded, std::size_t width)
{
    std::string digits = std::to_string(number < 0 ? -number : number);
    const std::size_t signWidth = number < 0 ? 1 : 0;
    const std::size_t padding = width > digits.size() + signWidth ? width - digits.size() - signWidth : 0;
    if (zeroPadded)
        return (number < 0 ? "-" : "") + std::string(padding, '0') + digits;
    return std::string(padding, ' ') + (number < 0 ? "-" : "") + digits;
}

std::optional<std::string> applyPattern(const std::string& pattern, int64_t number)
{
    std::string path;
    bool numberUsed = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            path += pattern[i];
            continue;
        }
        if (++i < pattern.size() && pattern[i] == '%') {
            path += '%';
            continue;
        }
        const bool zeroPadded = i < pattern.size() && pattern[i] == '0';
        if (zeroPadded)
            ++i;
        std::size_t width = 0;
        for (; i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9'; ++i) {
            width = width * 10 + static_cast<std::size_t>(pattern[i] - '0');
            if (width > MaxWidth)
                return std::nullopt;
        }
        if (i >= pattern.size() || (pattern[i] != 'd' && pattern[i] != 'i') || numberUsed)
            return std::nullopt;
        numberUsed = true;
        path += formatNumber(number, zeroPadded, width);
    }
    if (path.empty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<std::string> devicePathForPort(int32_t port, const char* configuredPattern)
{
    if (configuredPattern && *configuredPattern)
        return applyPattern(configuredPattern, port);
    return applyPattern(DefaultDevicePattern, int64_t(port) - 1);
}

} // namespace tessar
