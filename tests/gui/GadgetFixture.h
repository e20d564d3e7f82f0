// A main form on the offscreen platform, with a fake backend and the error report captured.
#pragma once

#include "app/Quibra1.h"
#include "rtl/Cp1251.h"
#include "tests/gui/FakePlatform.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

class GadgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        auto fake = std::make_unique<FakePlatform>();
        platform = fake.get();
        vcl::setPlatform(std::move(fake));
        Application->OnReport = [this](const AnsiString& m) { reports.push_back(Cp1251ToUtf8(m)); };
        // FormDestroy of an earlier test's form deleted the capture objects.
        if (!ShotBitmap) {
            ShotBitmap = new TBitmap;
            ScreenCanvas = new TCanvas;
            ShotJpeg = new TJPEGImage;
        }
        ForgetRestingLines();
        form = new TForm1;
        Form1 = form;
    }
    void TearDown() override {
        TForm::Destroy(form);
        Form1 = nullptr;
        Application->OnReport = nullptr;
        vcl::setPlatform(nullptr);
    }

    // One monitor tick, as its timer runs it: inside the error guard.
    void tick() {
        Application->Guard([this] { form->Timer1Timer(form->Timer1); });
    }
    // Animation frames until the animation hands back to the monitor; returns their number.
    int animate() {
        int frames = 0;
        while (form->Timer2->Enabled() && frames < 100) {
            Application->Guard([this] { form->Timer2Timer(form->Timer2); });
            ++frames;
        }
        return frames;
    }
    std::string line(int i) const { return Cp1251ToUtf8(form->Lines[i]); }

    TForm1* form = nullptr;
    FakePlatform* platform = nullptr;
    std::vector<std::string> reports;
};
