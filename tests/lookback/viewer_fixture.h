// viewer_fixture.h - the lookback viewer and the slot menu inside the test
// program: a 640 x 480 screen with its text layers, the real window
// procedure, events scheduled on the virtual clock, and a record of what
// the window procedure saw while a viewer or menu ran.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/screen.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/backlog.h"
#include "text/kinsoku.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_w_ = ScreenWidth;
        saved_h_ = ScreenHeight;
        saved_v_ = VariableCount;
        ScreenWidth = 640;
        ScreenHeight = 480;
        VariableCount = 16;
        AllocateVariableTables(VariableCount);
        RebuildScreenSurfaces();
        delete[] GlyphLayer;
        GlyphLayer = new uint8_t[ScreenWidth * ScreenHeight]();
        RebuildTextColorSurface();
        SetDefaultKinsokuLists();
        ResetTextWindow();
        ResetRuby();
        ClearBacklog();
        LookbackOn = 1;
        BacklogPageLimit = 16;
        EnglishMode = 0;
        Observer() = nullptr;
        PlatSetWindowProc(Proc);
        Drain();
        Clicked = RightClicked = ResetRequested = 0;
        LastMessage = 0;
    }
    void TearDown() override {
        Drain();
        // Key state follows the messages taken: let go of every key held.
        for (int vk : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_ESCAPE, VK_RETURN})
            PlatPostMessage(WM_KEYUP, (uintptr_t)vk, 0);
        Drain();
        Observer() = nullptr;
        ResetRequested = 0;
        delete[] GlyphLayer;
        GlyphLayer = nullptr;
        ScreenWidth = saved_w_;
        ScreenHeight = saved_h_;
        VariableCount = saved_v_;
        ClearCapturedBoxes();
    }
    static void Drain() {
        while (PlatGetMessage(nullptr)) {}
    }
    // Called after the window procedure handled each message.
    static std::function<void(uint32_t)>& Observer() {
        static std::function<void(uint32_t)> f;
        return f;
    }
    static intptr_t Proc(uint32_t message, uintptr_t wparam, intptr_t lparam) {
        intptr_t r = MainWndProc(message, wparam, lparam);
        if (Observer()) Observer()(message);
        return r;
    }
    // Schedules an events-file line `ms` virtual ms from now.
    static void Event(uint64_t ms, const std::string& line) {
        HeadlessEvent ev;
        std::string error;
        std::string text = std::to_string(HeadlessElapsed() + ms) + " " + line;
        ASSERT_EQ(HeadlessParseEventLine(text.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
    }
    // 0xRRGGBB of DestSurface at a screen pixel.
    static uint32_t Pixel(int x, int y) {
        const uint8_t* p = DibRow(&DestSurface.dib, y) + 3 * x;
        return (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
    }
    int saved_w_ = 0, saved_h_ = 0, saved_v_ = 0;
};
