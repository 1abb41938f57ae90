// qv_wizard_page_render: paints the wizard's pages off screen with a given skin and writes each one
// as a PNG, without the program, a window or a controller. For the skin's authors and the
// screenshots of the documentation.
//
// Usage:
//   qv_wizard_page_render [--dump] <skin folder> <output folder> [page ...]
//
//   <skin folder>    a skin folder: "stylesheets/FirmwareUpdaterStyles.txt", "pictures", "fonts"
//   <output folder>  created when missing; receives page<N>.png and about.png
//   page             0 to 6 (the wizard's states) or "about" (page 0 with the About overlay);
//                    all of them when none is given; "6:N" is page 6 showing error N (a
//                    negative worker result, or 1 for a failed check), written as page6:N.png;
//                    "0:refused" is page 0 for a controller this user may not open
//   --dump           also prints every page's widget tree: id, class, pane rectangle, shown flag,
//                    attributes and text, to check that each text lies inside its panel
//
// Each page is reached the way the program reaches it, through the wizard's own steps with
// scripted device callbacks (serial "VDX-000123", installed "32 / 0x66", newest "33 / 0x67"), in a
// pane of 627 x 335. The stylesheet's diagnostics go to standard error. The program lives in a
// bundle of its own in the build tree, whose resources carry the interface font as "TTFd" 1, so
// that text is drawn as in the program. Exit status: 0 when every page was written, 1 on a wrong
// command line, 2 when a picture could not be written.
#include "GP/Point.h"
#include "GP/Region.h"
#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/Label.h"
#include "PXT/Lib.h"
#include "PXT/MultilineLabel.h"
#include "PXT/Pane.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/StyleSheetManager.h"
#include "PXT/TextPanel.h"
#include "UIA/Picture.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "Updater/WizardWidgetNames.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace QV;

constexpr GP::Point kWizardSize(627, 335);

// The scripted controller behind the page being drawn.
struct tScript {
    bool connected = false;
    bool updateNeeded = true;
    bool resetWorks = true;
    int workerResult = 0;
};

// Page 0 as a controller that is connected but that this user may not open shows it.
const std::string kRefusedPage = "0:refused";

std::shared_ptr<UpdateWizardMainWidget> makeWizard()
{
    return std::make_shared<UpdateWizardMainWidget>(
        tWizardTexts{"Vardolin Studio",
                     "VDX",
                     "VDX Updater",
                     "VARDOLIN STUDIO UPDATER",
                     "(c) Orvendal",
                     "1.1.0 (R147)",
                     {"Contributor One", "Contributor Two", "Contributor Three", "Contributor Four", ""}});
}

// Drives a fresh wizard to `page` (0..6) through its own steps; page 6 shows `error`, page 0 a
// refused controller when `refused`.
void drive(UpdateWizardMainWidget& wizard, int page, int error, bool refused)
{
    auto script = std::make_shared<tScript>();
    std::atomic<int>* result = nullptr;
    auto connect = [script] { return script->connected; };
    auto reset = [script] { return script->resetWorks; };
    auto perform = [script, &result](std::atomic<int>& r) {
        result = &r;
        r = 0;
        return true;
    };
    auto info = [script](DVK2::USBDeviceInfo& record, std::string& installed, std::string& newest, bool& needed) {
        newest = "33 / 0x67";
        if (!script->connected)
            return;
        record.serialNumber = "VDX-000123";
        installed = script->updateNeeded ? "32 / 0x66" : newest;
        needed = script->updateNeeded;
    };
    script->connected = page != 0;
    script->updateNeeded = page != 1;
    script->resetWorks = page != 4;
    wizard.run(
        connect, reset, [] { return false; }, perform, info, [refused] { return refused; });
    if (page <= 2)
        return;
    wizard.onAction();  // UPDATE
    if (page == 3 || page == 4)
        return;
    // The worker's end: written and verified (5), a failed write (6, error < 0), or written and
    // then still reporting the old firmware (6, error 1).
    script->updateNeeded = page != 5;
    *result = page == 5 || error > 0 ? 1 : error;
    wizard.onTimer();
}

void settle(PXT::Pane& pane)
{
    GP::Region region;
    for (int i = 0; i < 10 && pane.getDirty() != 0; ++i)
        pane.update(region);
}

void dump(const PXT::Widget& widget, int depth)
{
    const GP::Point& at = widget.getAbsolutePos();
    const GP::Point& size = widget.getSize();
    std::cout << std::string(depth * 2, ' ') << (widget.getId().empty() ? "(root)" : widget.getId()) << " "
              << widget.getClass() << " (" << at.x << "," << at.y << ")-(" << at.x + size.x << "," << at.y + size.y
              << ")" << (widget.isShown() ? "" : " hidden");
    for (const auto& [name, value] : widget.getAttributes())
        std::cout << " [" << name << "=" << value << "]";
    if (auto text = dynamic_cast<const PXT::TextPanel*>(&widget); text && !text->getText().empty())
        std::cout << " \"" << text->getText() << "\"";
    if (auto text = dynamic_cast<const PXT::MultilineLabel*>(&widget); text && !text->getText().empty())
        std::cout << " \"" << text->getText() << "\"";
    std::cout << "\n";
    for (const auto& child : widget.getChildren())
        dump(*child, depth + 1);
}

bool writePNG(const UIA::Picture& picture, const fs::path& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.getWidth());
    image.height = static_cast<png_uint_32>(picture.getHeight());
    // The picture's pixels lie B, G, R, A in memory with straight alpha, as PNG wants them.
    image.format = PNG_FORMAT_BGRA;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, picture.getData(), 0, nullptr);
    if (!ok)
        std::cerr << "cannot write " << path << ": " << image.message << "\n";
    png_image_free(&image);
    return ok != 0;
}

bool render(const std::string& page, const fs::path& out, bool withDump)
{
    const bool about = page == "about";
    auto wizard = makeWizard();
    const bool refused = page == kRefusedPage;
    const auto colon = page.find(':');
    drive(*wizard, about ? 0 : std::stoi(page),
          colon == std::string::npos || refused ? -2 : std::stoi(page.substr(colon + 1)), refused);

    PXT::Pane pane;
    pane.setSize(kWizardSize);
    pane.setRoot(wizard, WizardNames::kMainWidget);
    settle(pane);
    if (about) {
        wizard->showAbout();
        settle(pane);
    }
    PXT::BackgroundDrawingCanvas canvas;
    canvas.onSize(kWizardSize);
    canvas.clear(0xFF000000);
    pane.paint(canvas, GP::Region(), PXT::Pane::ePaintAll);
    if (withDump) {
        std::cout << "page " << page << "\n";
        dump(*wizard, 1);
    }
    const fs::path file = out / (about ? std::string("about.png") : "page" + page + ".png");
    const bool written = writePNG(*canvas.getPicture(), file);
    pane.setRoot(nullptr, "");
    if (written)
        std::cout << file.string() << "\n";
    return written;
}

int usage()
{
    std::cerr << "usage: qv_wizard_page_render [--dump] <skin folder> <output folder> [0-6|6:N|0:refused|about ...]\n";
    return 1;
}

// "0" to "6", "0:refused", or "6:N" with N negative or 1: the errors the wizard can show.
bool validPage(const std::string& page)
{
    if (page == kRefusedPage)
        return true;
    if (page.size() == 1)
        return page[0] >= '0' && page[0] <= '6';
    if (page.rfind("6:", 0) != 0)
        return false;
    const std::string number = page.substr(2);
    if (number == "1")
        return true;
    return number.size() >= 2 && number.size() <= 10 && number[0] == '-' &&
           number.find_first_not_of("0123456789", 1) == std::string::npos && number[1] != '0';
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    bool withDump = false;
    if (!args.empty() && args.front() == "--dump") {
        withDump = true;
        args.erase(args.begin());
    }
    if (args.size() < 2)
        return usage();
    std::error_code error;
    const fs::path skin = fs::absolute(args[0], error);
    const fs::path out = fs::absolute(args[1], error);
    std::vector<std::string> pages(args.begin() + 2, args.end());
    if (pages.empty())
        pages = {"0", "1", "2", "3", "4", "5", "6", "about"};
    for (const std::string& page : pages)
        if (page != "about" && !validPage(page))
            return usage();
    if (!fs::is_directory(skin / "stylesheets")) {
        std::cerr << skin << " holds no \"stylesheets\" folder\n";
        return 1;
    }
    fs::create_directories(out, error);

    // The toolkit looks for "skin" in the current folder when none lies beside the bundle: a
    // private folder whose "skin" names the given one.
    char pattern[] = "/tmp/qv-wizard-render-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path work = pattern;
    fs::create_directory_symlink(skin, work / "skin");
    const fs::path previous = fs::current_path();
    fs::current_path(work);

    PXT::StyleSheetErrorsLogSource::m_logSinks.push_back([](std::string line) { std::cerr << line << "\n"; });
    PXT::Lib::setSearchSkinDirectory(true);
    PXT::Lib::init();
    PXT::StyleSheetManager::get()->loadDefault("FirmwareUpdaterStyles.txt");
    bool allWritten = true;
    for (const std::string& page : pages)
        allWritten = render(page, out, withDump) && allWritten;
    PXT::Lib::deInit();

    fs::current_path(previous);
    fs::remove_all(work, error);
    return allWritten ? 0 : 2;
}
