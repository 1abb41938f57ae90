// An alert runner for death tests: writes the alert to standard error on one line, line breaks as
// "\n", as [title|text|button,button] and answers the first button.
#pragma once

#include "GP/AlertRunner.h"

#include <cstdio>
#include <string>

namespace QV::TEST {

class ReportingAlertRunner final : public GP::DETAIL::AlertRunner {
public:
    GP::Message::eButton run(const GP::DETAIL::tAlert& alert) override
    {
        std::string buttons;
        for (const GP::DETAIL::tAlertButton& button : alert.m_buttons)
            buttons += (buttons.empty() ? "" : ",") + button.m_title;
        std::fprintf(stderr, "[%s|%s|%s]\n", escaped(alert.m_title).c_str(), escaped(alert.m_text).c_str(),
                     buttons.c_str());
        std::fflush(stderr);
        return alert.m_buttons.front().m_tag;
    }

    static void install()
    {
        static ReportingAlertRunner s_runner;
        GP::DETAIL::setAlertRunner(&s_runner);
    }

private:
    static std::string escaped(const std::string& text)
    {
        std::string result;
        for (const char c : text)
            result += c == '\n' ? std::string("\\n") : std::string(1, c);
        return result;
    }
};

}  // namespace QV::TEST
