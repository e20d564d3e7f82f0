// A window-system backend the tests control: what the clipboard offers, whether its owner
// answers, the Print Screen key, the screen's pixels, and what the program asked of it.
#pragma once

#include "vcl/Platform.h"

#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct FakePlatform : vcl::Platform {
    bool busy = false;
    std::optional<std::string> text; // UTF-8
    QImage picture;                  // null: no picture offered
    bool printKey = false;
    QImage screen;
    int formatQueries = 0;
    int pictureFetches = 0;
    std::optional<QRect> confinement;
    std::vector<QWidget*> toolWindows;
    // Called at every clipboard request, as a slow owner's wait would run the event loop.
    std::function<void()> duringRequest;

    void request() {
        if (duringRequest)
            duringRequest();
    }

    vcl::ClipStatus clipboardFormats(vcl::ClipFormats& out) override {
        ++formatQueries;
        request();
        if (busy)
            return vcl::ClipStatus::Busy;
        out.text = text.has_value();
        out.picture = !picture.isNull();
        return vcl::ClipStatus::Ok;
    }
    vcl::ClipStatus clipboardText(std::string& utf8, bool& present) override {
        request();
        if (busy)
            return vcl::ClipStatus::Busy;
        present = text.has_value();
        utf8 = text.value_or(std::string());
        return vcl::ClipStatus::Ok;
    }
    vcl::ClipStatus clipboardPicture(QImage& out, bool& present) override {
        ++pictureFetches;
        request();
        if (busy)
            return vcl::ClipStatus::Busy;
        present = !picture.isNull();
        out = picture;
        return vcl::ClipStatus::Ok;
    }
    void prepareToolWindow(QWidget* window) override { toolWindows.push_back(window); }
    void confinePointer(QWidget*, const QRect* r) override {
        confinement = r ? std::optional<QRect>(*r) : std::nullopt;
    }
    QMargins frameExtents(QWidget*) override { return QMargins(); }
    void flush() override {}
    bool printKeyPressed() override { return printKey; }
    bool grabPrimaryScreen(QImage& out) override {
        out = screen;
        return !screen.isNull();
    }
};
