// What the shell asks of the main window's pages, and what the pages may ask of the shell.
#pragma once

class QsciScintilla;

namespace ide {

// One page of the main tab control (Assembler, Debugger, Download).
class Page {
public:
    virtual ~Page() = default;
    // The page came to the front through the tab control or the View menu.
    virtual void pageShown() {}
    // The document File/Print prints while this page is in front; null when there is none.
    // The page may refresh itself first.
    virtual QsciScintilla* documentToPrint() = 0;
};

// Page switching of the main tab control, for the code that lives on a page.
class PageSwitcher {
public:
    virtual ~PageSwitcher() = default;
    // 0 Assembler, 1 Debugger, 2 Download: the page the main tab control shows.
    virtual int frontPage() const = 0;
    // Brings a main page to the front without running its refresh.
    virtual void showPage(int index) = 0;
    // activePage 0 and the Assembler page in front.
    virtual void showAssemblerPage() = 0;
};

} // namespace ide
