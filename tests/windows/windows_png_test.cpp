// Renders each of these windows to a PNG for a person to look at against the
// window definitions.
#include "tests/support/png.h"
#include "tests/support/program.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form7.h"
#include "windows/form8.h"

#include <QFileInfo>

namespace {

using WindowPictures = ProgramTest;

TEST_F(WindowPictures, EachWindowRenders)
{
    struct Row {
        TForm* window;
        const char* name;
    };
    for (Row r : {Row{Form2, "about_window"}, Row{Form3, "help_window"}, Row{Form4, "thermometers_window"},
                  Row{Form7, "rate_window"}, Row{Form8, "clock_set_window"}}) {
        r.window->show();
        QString path = SaveWindowPng(r.window, QString::fromLatin1(r.name));
        r.window->hide();
        EXPECT_TRUE(QFileInfo(path).size() > 0) << r.name;
    }
}

}  // namespace
