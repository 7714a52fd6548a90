#include "support/GameFolder.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <cstdio>
#include <fstream>

#include "platform/desktop/form/Widgets.h"
#include "platform/system/Dispatch.h"

std::string testDataPath(const std::string& name) {
    return std::string(PIROKKO_TEST_DATA) + "/" + name;
}

std::string cp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) ADD_FAILURE() << "not encodable in CP932: " << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

std::string utf8(const platform::Text& text) {
    return platform::toUtf8(text);
}

GameFolder::GameFolder() {
    path_ = dir_.path().toStdString() + "/game";
    QDir().mkpath(QString::fromStdString(path_ + "/txt"));
    QDir().mkpath(QString::fromStdString(path_ + "/img"));
}

void GameFolder::rawScript(const std::string& name, const std::string& bytes) {
    std::ofstream(path_ + "/txt/" + name + ".txt", std::ios::binary) << bytes;
}

std::string scriptBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += cp932(line) + "\r\n";
    return bytes;
}

void GameFolder::script(const std::string& name, const std::vector<std::string>& lines) {
    rawScript(name, scriptBytes(lines));
}

void GameFolder::save(const std::string& relativePath, const std::string& bytes, Save how) {
    const std::string path = path_ + "/" + relativePath;
    switch (how) {
        case Save::kInPlace:
            std::ofstream(path, std::ios::binary) << bytes;
            break;
        case Save::kRenameOver:
            std::ofstream(path + ".new", std::ios::binary) << bytes;
            ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
            break;
        case Save::kDeleteAndCreate:
            std::remove(path.c_str());
            std::ofstream(path, std::ios::binary) << bytes;
            break;
    }
}

void GameFolder::picture(const std::string& name, const std::string& dataFile) {
    const QString target = QString::fromStdString(path_ + "/img/" + name + ".gif");
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(testDataPath(dataFile)), target));
}

void GameFolder::remove(const std::string& relativePath) {
    QFile::remove(QString::fromStdString(path_ + "/" + relativePath));
}

TestGame::TestGame(const GameFolder& folder) : TestGame(platform::fromUtf8(folder.path())) {}

TestGame::TestGame(platform::Text gameFolder) {
    platform::Dispatcher::reset();
    fom = std::make_unique<Fom>(FomServices{timers, random, media, std::move(gameFolder)});
}

TestGame::~TestGame() {
    fom.reset();
    platform::Dispatcher::reset();
}

void TestGame::start() {
    fom->Show();
}

bool settle(platform::FileWatch& watch, platform::ManualTimerHost& timers) {
    platform::Timer& quiet = watch.quietTimer();
    // The kernel has queued the notices by the time the save returns: the
    // loop only gives the toolkit the turns it needs to read them.
    for (int i = 0; i < 1000 && !quiet.Enabled(); ++i) QCoreApplication::processEvents();
    if (!quiet.Enabled()) return false;
    timers.fire(quiet);
    return true;
}

std::string announced(const platform::Control& label) {
    QAccessibleInterface* l = QAccessible::queryAccessibleInterface(platform::widgetOf(label));
    for (int i = 0; i < l->childCount(); ++i) {
        QAccessibleInterface* c = l->child(i);
        if (c->role() == QAccessible::Notification && !c->state().invisible)
            return c->text(QAccessible::Name).replace(u'\n', u'/').toStdString();
    }
    return "";
}

std::string TestGame::label() const {
    // The player joins lines with CR LF; a lone LF is a row break inside a
    // line, which a script may hold.
    const std::string caption = utf8(fom->Lbl.Caption());
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption.compare(i, 2, "\r\n") == 0) {
            text += '/';
            ++i;
        } else {
            text += caption[i] == '\n' ? '|' : caption[i];
        }
    }
    return text;
}
