// The chooser field: scene buttons that wander at random, the choice of a
// scene, and the check-box combinations that reveal buttons.

#include <cmath>

#include "app/Fom.h"
#include "scene/TextNames.h"

using platform::False;
using platform::True;

void Fom::TimPic_Timer() {
    const int last = Com.UBound();
    for (Module.LoopJ = 0; Module.LoopJ <= last; Module.LoopJ += 1) {
        auto& button = Com(static_cast<int>(Module.LoopJ));
        const float left = button.Left();
        const float r1 = Random.Rnd();
        const float top = button.Top();
        const float r2 = Random.Rnd();
        const float dx = std::floor(r1 * 6.0f - 3.0f);
        const float dy = std::floor(r2 * 6.0f - 3.0f);
        button.Move(left + dx, top + dy, 1, 1);
        // Past either edge a button comes back at the near edge.
        const float fieldWidth = PicCom.ScaleWidth();
        const float fieldLeft = PicCom.ScaleLeft();
        if (button.Left() >= fieldWidth || button.Left() <= fieldLeft) button.setLeft(0);
        const float fieldHeight = PicCom.ScaleHeight();
        const float fieldTop = PicCom.ScaleTop();
        if (button.Top() >= fieldHeight || button.Top() <= fieldTop) button.setTop(0);
    }
}

void Fom::Com_Click(std::int16_t index) {
    // Disabling the focused button moves the focus on, round to the text:
    // the text must say what it does by then.
    Lbl.setSpokenName(scene::playingTextName());
    Com(index).setEnabled(False);
    Com(index).setBackColor(0);
    StartScene(platform::Str(index));
}

void Fom::Opt_Click(std::int16_t) {
    // A counter of its own: this runs nested inside the title reset's loop
    // over the boxes, which must go on undisturbed.
    for (int i = 0; i <= Com.UBound(); ++i) Com(i).setVisible(False);

    bool allPlayed = true;
    for (int i = 0; i <= 6; ++i)
        if (Com(i).Enabled()) allPlayed = false;
    if (allPlayed) {
        Com(7).setVisible(True);
        return;
    }

    struct Rule {
        bool moon, star, forest;
        int reveal[3];
    };
    // The rule for all three boxes comes first, so a pair rule holds only
    // while the third box is clear.
    static constexpr Rule kRules[] = {
        {true, true, true, {4, 1, 0}},
        {true, true, false, {6, 1, 2}},
        {true, false, true, {4, 5, 0}},
        {false, true, true, {5, 3, 6}},
    };
    const bool ticked[3] = {Opt(0).Value() == 1, Opt(1).Value() == 1, Opt(2).Value() == 1};
    for (const Rule& rule : kRules) {
        if ((rule.moon && !ticked[0]) || (rule.star && !ticked[1]) || (rule.forest && !ticked[2]))
            continue;
        for (int b : rule.reveal) Com(b).setVisible(True);
        return;
    }
}
