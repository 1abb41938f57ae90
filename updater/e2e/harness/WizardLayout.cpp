#include "Updater/WizardWidgetNames.h"
#include "WizardLayout.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace QV::E2E {

std::optional<WizardLayout> WizardLayout::fromRenderTool(const std::string& tool, const std::string& skinFolder,
                                                         std::string& error)
{
    char folder[] = "/tmp/qv-wizard-layout-XXXXXX";
    if (!mkdtemp(folder)) {
        error = "cannot make a temporary folder";
        return std::nullopt;
    }
    const std::string command = "'" + tool + "' --dump '" + skinFolder + "' '" + folder + "' 0 3 2>/dev/null";
    std::string dump;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t count = 0;
        while ((count = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0)
            dump.append(chunk, count);
        const int status = pclose(pipe);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            error = command + " failed";
    } else {
        error = "cannot run " + tool;
    }
    std::filesystem::remove_all(folder);
    if (!error.empty())
        return std::nullopt;
    WizardLayout layout;
    layout.addDump(dump);
    for (const char* id : {WizardNames::kActionButton, WizardNames::kQuitButton, WizardNames::kAboutButton,
                           WizardNames::kInfoPanel, WizardNames::kSpinningWheel}) {
        if (!layout.has(id)) {
            error = std::string("the render tool's dump has no shown ") + id;
            return std::nullopt;
        }
    }
    return layout;
}

void WizardLayout::addDump(const std::string& dump)
{
    static const std::regex line(R"(^\s*(\S+) \S+ \((-?\d+),(-?\d+)\)-\((-?\d+),(-?\d+)\)( hidden)?)");
    std::istringstream lines(dump);
    std::string text;
    while (std::getline(lines, text)) {
        std::smatch match;
        if (!std::regex_search(text, match, line) || match[6].matched || m_rects.count(match[1]))
            continue;
        const int x0 = std::stoi(match[2]);
        const int y0 = std::stoi(match[3]);
        m_rects[match[1]] = {x0, y0, std::stoi(match[4]) - x0, std::stoi(match[5]) - y0};
    }
}

tRect WizardLayout::rect(const std::string& id) const
{
    const auto found = m_rects.find(id);
    return found == m_rects.end() ? tRect{} : found->second;
}

}  // namespace QV::E2E
