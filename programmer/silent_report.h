// A ProgrammerReport that shows nothing, for runs that judge only the results (benchmarks, the
// long-session measurement, fuzzing): it counts the popups and answers every question with
// `answer`. A caller that wants to see more overrides what it needs.
#pragma once

#include "programmer/report.h"

namespace programmer {

class SilentReport : public ProgrammerReport {
public:
    int popups = 0;
    bool answer = true;

    void appendMessage(std::string_view) override {}
    void clearMessages() override {}
    void setLamp(LampState) override {}
    void setLampLabel(std::string_view) override {}
    void showErrorPopup(std::string_view, int) override { ++popups; }
    void showWarningPopup(std::string_view, int) override { ++popups; }
    void showInfoPopup(std::string_view, int) override { ++popups; }
    void showMessagePopup(std::string_view, std::string_view) override { ++popups; }
    bool askYesNo(std::string_view, std::string_view) override { return answer; }
    void showDownloadPage() override {}
    void setReadVerifyEnabled(bool) override {}
    void showVerifyFailed(bool) override {}
    void setUserEepromCell(int, int, std::string_view) override {}
    void setBusy(bool) override {}
    void progress(std::size_t, std::size_t) override {}
};

} // namespace programmer
