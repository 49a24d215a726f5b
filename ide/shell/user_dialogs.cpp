#include "shell/user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>

namespace ide {
namespace {

// "*.asm; *.h" becomes "*.asm; *.h (*.asm *.h)": the patterns name the filter.
QString nameFilter(const QString& patterns) {
    QString list = patterns.split(';', Qt::SkipEmptyParts).replaceInStrings(" ", "").join(' ');
    return QString("%1 (%2)").arg(patterns.trimmed(), list);
}

class QtDialogs : public UserDialogs {
public:
    FileChoice chooseFiles(const FileRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), request.title, request.start);
        QStringList filters;
        for (const QString& f : request.filters)
            filters << nameFilter(f);
        dialog.setNameFilters(filters);
        switch (request.mode) {
        case FileRequest::Mode::open:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileRequest::Mode::openMultiple:
            dialog.setFileMode(QFileDialog::ExistingFiles);
            break;
        case FileRequest::Mode::save:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setDefaultSuffix(request.defaultSuffix);
            break;
        }
        if (QFileInfo(request.start).isFile() || request.mode == FileRequest::Mode::save)
            dialog.selectFile(request.start);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return {1, dialog.selectedFiles()};
    }

    int printEditor(QsciScintilla& editor) override {
        QsciPrinter printer;
        printer.setWrapMode(QsciScintilla::WrapWord);
        QPrintDialog dialog(&printer, editor.window());
        if (dialog.exec() != QDialog::Accepted) return 0;
        return printer.printRange(&editor) ? 1 : -1;
    }
};

} // namespace

std::unique_ptr<UserDialogs> makeQtDialogs() {
    return std::make_unique<QtDialogs>();
}

} // namespace ide
