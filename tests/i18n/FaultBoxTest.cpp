// The run-time error box in the session's language. ctest runs this once
// under LANG=ja_JP.UTF-8 and once under LANG=C.UTF-8; the C library's ja_JP
// locale is not generated on the machines it runs on, and is not needed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/desktop/system/FaultBox.h"
#include "platform/system/Files.h"
#include "platform/system/Language.h"
#include "support/GameFolder.h"

TEST(FaultBox, SpeaksTheSessionsLanguageAndKeepsTitleAndPath) {
    platform::useSessionLanguage();
    const char* lang = std::getenv("LANG");
    const bool japanese = lang != nullptr && std::string(lang).rfind("ja", 0) == 0;

    // A path that holds "%1" must come through as it is.
    const std::string missing = "/game %1/txt/opn.txt";
    GameFolder folder;
    folder.script("opn", {"A", "--x"});
    folder.picture("opn");
    struct Case {
        std::function<void()> fail;
        std::string english, japanese;
    };
    const Case cases[] = {
        {[&] {
             platform::FileTable files;
             files.OpenForInput(platform::fromUtf8(missing), 1);
         },
         "Run-time error 53: File not found\nFile: " + missing,
         "実行時エラー 53: ファイルが見つかりません\nファイル: " + missing},
        {[&] {
             TestGame g(folder);
             g.start();
             g.click();
         },
         "Run-time error 13: Type mismatch: the repeat count \"x\" is not a number\nFile: " +
             folder.path() + "/txt/opn.txt:2",
         "実行時エラー 13: 型が一致しません: 繰り返しの回数「x」が数ではありません\nファイル: " +
             folder.path() + "/txt/opn.txt:2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english);
        try {
            c.fail();
            ADD_FAILURE() << "no run-time error";
        } catch (const platform::RuntimeError& e) {
            const auto box = platform::makeFaultBox(e);
            EXPECT_EQ(box->windowTitle().toStdString(), "Pirokko");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->text().toStdString(), japanese ? c.japanese : c.english);
        }
    }
}
