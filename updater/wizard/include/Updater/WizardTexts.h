// What the wizard shows of the device and the program: its page texts' placeholders, the device
// picture's key and the About panel. The configuration fills it; the wizard keeps a copy.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace QV {

struct tWizardTexts {
    static constexpr std::size_t kContributorLineCount = 5;

    std::string deviceName;        // the page texts' %1%
    std::string deviceImageKey;    // the device picture's attribute "product"
    std::string programName;       // the page texts' %3%, the About version line
    std::string applicationTitle;  // the headline and the About title
    std::string noticeLine;        // the About panel's legal notice
    std::string version;           // the About version line
    // The About panel's lines in their order; an empty one still takes its row.
    std::array<std::string, kContributorLineCount> contributorLines;
};

}  // namespace QV
