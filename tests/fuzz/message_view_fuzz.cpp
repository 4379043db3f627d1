#include "app/shell/rich_text_bridge.h"
#include "fuzz_check.h"
#include "shell/rich_text.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

QPlainTextEdit *View()
{
    static int argc = 1;
    static char name[] = "message_view_fuzz";
    static char *argv[] = { name, nullptr };
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static QPlainTextEdit *view = new QPlainTextEdit;
    return view;
}

} // namespace

// Any bytes opened as a message file into a text view, and the view read back:
// the view holds as many lines as the file gave.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    QPlainTextEdit *view = View();
    const RichDocument document
        = ReadRichText(std::string_view(reinterpret_cast<const char *>(data), size));
    LoadRichDocument(view, document);
    const RichDocument shown = ToRichDocument(*view->document());
    FUZZ_CHECK(document.Lines.empty() || shown.Lines.size() == document.Lines.size());
    return 0;
}
