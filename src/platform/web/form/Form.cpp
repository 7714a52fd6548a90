#include "platform/form/Form.h"

#include "platform/form/Control.h"
#include "platform/system/Dispatch.h"
#include "platform/web/form/Page.h"
#include "platform/web/system/WebApplication.h"

namespace platform {

struct Form::Impl {
    ControlPeer host;
    int width = 0, height = 0;
};

Form::Form(const Design& design)
    : caption_(design.caption), backColor_(design.backColor), impl_(std::make_unique<Impl>()) {
    impl_->width = design.interiorWidthPx;
    impl_->height = design.interiorHeightPx;
    // The page has an icon of its own; the window's is not shown here.
    impl_->host.id = pk_form(units(caption_), count(caption_), design.interiorWidthPx,
                             design.interiorHeightPx, backColor_);
    setScaleMode(kTwips);
    webApplicationOpened(*this);
}

Form::~Form() {
    webApplicationClosed(*this);
}

int Form::interiorWidthPx() const {
    return impl_->width;
}
int Form::interiorHeightPx() const {
    return impl_->height;
}
ControlPeer& Form::childHost() const {
    return impl_->host;
}

void Form::showWindow() {
    pk_show_form();
}

void Form::setTabOrder(const std::vector<Control*>& order) {
    std::vector<int> ids;
    for (const Control* c : order) ids.push_back(c->peer().id);
    pk_tab_order(ids.data(), static_cast<int>(ids.size()));
}

void Form::close() {
    Dispatcher::runFromCallback([this] { raiseUnload(); });
}

}  // namespace platform
