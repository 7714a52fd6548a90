#include "app/Fom.h"

#include "app/GameFolder.h"
#include "app/IconGif.h"
#include "app/Identity.h"
#include "app/LabelDesign.h"
#include "app/Preview.h"
#include "platform/system/Errors.h"
#include "platform/system/Program.h"
#include "scene/ScriptLine.h"
#include "shared/Music.h"

using platform::Boolean;
using platform::rgb;
using platform::Text;

namespace {

// The window as designed, in twips (15 to a pixel).
const platform::OleColor kLavender = rgb(128, 128, 255);
const platform::OleColor kRed = rgb(255, 0, 0);

std::unique_ptr<platform::CheckBox> makeOpt(platform::Container& pic, double left,
                                            const char16_t* caption) {
    return std::make_unique<platform::CheckBox>(
        pic,
        platform::CheckBox::Design{{left, 120, 855, 375}, caption, kLavender, rgb(255, 255, 255)});
}

platform::Picture windowIcon() {
    return platform::DecodePicture(kIconGif, kIconGifSize, u"icon.gif");
}

}  // namespace

Fom::Fom(FomServices s)
    : platform::Form(Design{kGameName, 681, 289, kLavender, windowIcon}),
      Lbl(*this,
          {fom_design::kLabelTwips, u"Label1", fom_design::kLabelFace, fom_design::kLabelPoints}),
      Pic(*this, {{6720, 120, 3375, 3855}, kLavender, true}),
      PicCom(Pic, {{120, 720, 3135, 2895}, kRed, false}),
      Com(std::make_unique<platform::CommandButton>(
          PicCom, platform::CommandButton::Design{{0, 0, 375, 375}, u"Com", kRed})),
      Opt(makeOpt(Pic, 120, u"月")),
      E(*this, {{3360, 1080, 735, 495}, rgb(240, 240, 240), true}),
      BgmTim(s.timers, platform::True, 1),
      TimPic(s.timers, platform::True, 1100),
      TimSay(s.timers, platform::False, 100),
      // Long enough for an editor's burst of writes to end, short enough
      // that the author does not wait for it.
      Watch(s.timers, 50),
      Module(s.media),
      Random(s.random) {
    Opt.addDesigned(makeOpt(Pic, 960, u"星"));
    Opt.addDesigned(makeOpt(Pic, 1800, u"森"));
    E.setVisible(platform::False);
    Lbl.setRestingMarks({scene::kPageEndMark, scene::kLineMark});
    Lbl.setClickKeys(fom_design::kGoOnKeys, fom_design::kWheelDownGoesOn);
    gameFolder_ = std::move(s.gameFolder);

    Lbl.onClick = [this] { Lbl_Click(); };
    TimSay.onTimer = [this] { TimSay_Timer(); };
    TimPic.onTimer = [this] { TimPic_Timer(); };
    BgmTim.onTimer = [this] { BgmTim_Timer(); };
    Com.onClick = [this](std::int16_t i) { Com_Click(i); };
    Opt.onClick = [this](std::int16_t i) { Opt_Click(i); };
    Watch.onChange = [this](const std::vector<Text>& changed) { Watch_Change(changed); };
}

Fom::~Fom() = default;

void Fom::Form_Load() {
    BasePath = gameFolder_;
    if (BasePath.empty() || BasePath.back() != u'/') BasePath += u'/';
    ImgPath = BasePath + game_folder::kPictureFolder;
    TxtPath = BasePath + game_folder::kScriptFolder;
    Module.BgmOpen(MusicFile());
    Module.BgmOn = -1;
    Module.BgmPlay();
    Random.Randomize();
    Com(0).setCaption(platform::Str(0));
    for (Module.LoopI = 1; Module.LoopI <= 7; Module.LoopI += 1) {
        const int i = static_cast<int>(Module.LoopI);
        Com.Load(i);
        Com(i).setCaption(platform::Str(i));
    }
    // The boxes, then the buttons by number; hidden and played ones are
    // passed over.
    std::vector<platform::Control*> tabOrder{&Lbl, &Opt(0), &Opt(1), &Opt(2)};
    for (int i = 0; i <= Com.UBound(); ++i) tabOrder.push_back(&Com(i));
    setTabOrder(tabOrder);
    setScaleHeight(10);
    setScaleWidth(30);
    PicCom.setScaleLeft(0);
    PicCom.setScaleTop(0);
    PicCom.setScaleHeight(10);
    PicCom.setScaleWidth(10);
}

void Fom::Form_Activate() {
    // The author's preview starts at the scene being worked on instead.
    if (preview_ && !preview_->started) return StartPreview();
    ++activating_;
    struct Leave {
        int& n;
        ~Leave() { --n; }
    } leave{activating_};
    EnterTitleState();
    StartScene(game_folder::kOpening);
}

void Fom::EnterTitleState() {
    for (Module.LoopI = 0; Module.LoopI <= Com.UBound(); Module.LoopI += 1) {
        auto& button = Com(static_cast<int>(Module.LoopI));
        button.setBackColor(255);
        button.setEnabled(platform::True);
        button.setVisible(platform::False);
    }
    // Clearing a ticked box runs Opt_Click at once; that handler keeps its
    // own counter, so this loop still visits every box.
    for (Module.LoopI = 0; Module.LoopI <= Opt.UBound(); Module.LoopI += 1)
        Opt(static_cast<int>(Module.LoopI)).setValue(0);
}

Text Fom::ScriptFile(const Text& name) const {
    return TxtPath + name + game_folder::kScriptSuffix;
}
Text Fom::PictureFile(const Text& name) const {
    return ImgPath + name + game_folder::kPictureSuffix;
}
Text Fom::MusicFile() const {
    return BasePath + game_folder::kMusicFile;
}

void Fom::Form_Unload(std::int16_t&) {
    try {
        Files.Close(FileNo);
    } catch (const platform::RuntimeError&) {
        // The script may be closed already, or never have been opened.
    }
    Module.BgmClose();
    platform::End();
}

void Fom::BgmTim_Timer() {
    PollBgm(Module);
}
