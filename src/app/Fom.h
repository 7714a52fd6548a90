#pragma once
// The game window `Fom`: its controls, its window variables and every
// handler of the game. The handlers live beside the subsystem they belong to
// (scene/, chooser/, shared/); this class only gathers them.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/form/CheckBox.h"
#include "platform/form/CommandButton.h"
#include "platform/form/ControlArray.h"
#include "platform/form/Form.h"
#include "platform/form/Label.h"
#include "platform/form/PictureBox.h"
#include "platform/media/MediaCommands.h"
#include "platform/system/Errors.h"
#include "platform/system/FileWatch.h"
#include "platform/system/Files.h"
#include "platform/system/Random.h"
#include "platform/system/Text.h"
#include "platform/system/Timer.h"
#include "shared/SharedModule.h"

// What the window is handed from outside: where time, chance and sound come
// from, and the folder the game is played from: the program's own, or one named on
// the command line.
struct FomServices {
    platform::TimerHost& timers;
    platform::RandomSource& random;
    platform::MediaCommands& media;
    platform::Text gameFolder;
};

struct PreviewRequest;
struct PreviewState;
struct PagePlace;

class Fom final : public platform::Form {
  public:
    explicit Fom(FomServices services);
    ~Fom() override;

    // Controls, in their stacking order of creation.
    platform::Label Lbl;
    platform::PictureBox Pic;
    platform::PictureBox PicCom;
    platform::ControlArray<platform::CommandButton> Com;
    platform::ControlArray<platform::CheckBox> Opt;
    platform::PictureBox E;
    platform::Timer BgmTim;
    platform::Timer TimPic;
    platform::Timer TimSay;
    platform::FileWatch Watch;

    // Window variables.
    platform::Text BasePath;
    platform::Text ImgPath;
    platform::Text TxtPath;
    std::int16_t FileNo = 0;
    std::uint8_t LineCount = 0;
    platform::Text CurLine;
    platform::Text Mark;

    // The shared module and the file service the handlers use.
    共用関数 Module;
    platform::FileTable Files;
    platform::RandomSource& Random;

    // Life cycle.
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(std::int16_t& cancel) override;

    // The author's preview (Preview.cpp). Call before Show: the window then
    // starts at the requested scene as if the player had just chosen it,
    // played on to the page that holds the requested line (0: the scene's
    // start); it follows the game's files as they are saved, and a run-time
    // error waits in the label for the next save instead of ending the game.
    void PlayPreview(const PreviewRequest& request);
    void Watch_Change(const std::vector<platform::Text>& changed);

    // Scene player.
    void StartScene(const platform::Text& name);
    void ShowSay(const platform::Text& text, platform::Boolean show);
    void AdvanceSay();
    void BackToTitle();
    void Lbl_Click();
    void TimSay_Timer();

    // Scene picture.
    void ShowScenePic(const platform::Text& name);

    // Music.
    void BgmTim_Timer();

    // Chooser.
    void TimPic_Timer();
    void Com_Click(std::int16_t index);
    void Opt_Click(std::int16_t index);

  private:
    friend struct PreviewState;
    // The title state, in which the title reset starts the opening and the
    // preview its scene: every button red, enabled and hidden, every box
    // clear.
    void EnterTitleState();
    platform::Text ScriptFile(const platform::Text& name) const;
    platform::Text PictureFile(const platform::Text& name) const;
    platform::Text MusicFile() const;

    // The preview's part of the life cycle (Preview.cpp).
    void StartPreview();
    void BringBack(const PagePlace& place);
    // Stops the preview with an error that waits for the next save when a
    // script is written in a way the game would misread; nothing without
    // the preview.
    void ReadingScript(const platform::Text& path) const;
    void PlayOnTo(std::int64_t line);
    void ShowWaitingFault(const platform::RuntimeError& error);

    enum class Acted { kDone, kAgainAtOnce, kRepeat };
    // Acts on the look-ahead line once; for a repeat line `count` receives
    // the number of further advances it asks for.
    Acted ActOnLine(double& count);
    void ReadNextLine();
    [[noreturn]] void ContentError(int number, const std::string& what, std::int64_t line) const;

    // Number of the look-ahead line in its file (for messages).
    std::int64_t curLineNumber_ = 0;
    // What the label shows, for the preview: the scene started last, the
    // number of the last line acted on and of the page's first line (0 while
    // the page is empty).
    platform::Text sceneName_;
    std::int64_t actedLine_ = 0;
    std::int64_t pageFirstLine_ = 0;
    platform::Text pageFirstText_;
    // Set while the title reset runs, to recognise content that would only
    // return to the title again and again.
    int activating_ = 0;
    // Counts returns to the title, so a repeat run can tell that it has gone
    // round the title more than once.
    std::uint64_t titleReturns_ = 0;
    platform::Text gameFolder_;
    std::unique_ptr<PreviewState> preview_;  // null unless PlayPreview was called
};
