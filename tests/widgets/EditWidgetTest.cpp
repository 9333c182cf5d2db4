#include <gtest/gtest.h>

#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/EditWidget.h"

namespace VelmTest {
namespace {

using Velm::EditWidget;

const int kBackspace = 8, kEnter = 13, kShift = 16, kCtrl = 17, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39,
          kDelete = 46;

class KeyCountingListener : public RecordingListener {
public:
    bool AllowKey(int id, int key) override {
        (void)id;
        mAskedKeys.push_back(key);
        return true;
    }
    bool AllowChar(int id, char c) override {
        (void)id;
        return mRefusedChars.find(c) == std::string::npos;
    }
    std::vector<int> mAskedKeys;
    std::string mRefusedChars;
};

// A focused field 200 x 20 at the origin with 6-pixel characters.
struct EditScene {
    Fixture f;
    TestFont font;
    KeyCountingListener listener;
    EditWidget edit{3, &listener};
    explicit EditScene(int width = 200) {
        edit.SetFont(&font);
        edit.Resize(0, 0, width, 20);
        f.manager.AddWidget(&edit);
        f.manager.SetFocus(&edit);
    }
    void Type(const std::string& text) {
        for (char c : text) f.manager.KeyChar(c);
    }
    void Key(int key) {
        f.manager.KeyDown(key);
        f.manager.KeyUp(key);
    }
    void WithKey(int modifier, int key) {
        f.manager.KeyDown(modifier);
        Key(key);
        f.manager.KeyUp(modifier);
    }
    void Ctrl(char letter) {  // Ctrl+letter arrives as a control character
        f.manager.KeyDown(kCtrl);
        f.manager.KeyChar(static_cast<char>(letter - 'A' + 1));
        f.manager.KeyUp(kCtrl);
    }
    std::string Selection() {
        if (edit.mHilitePos == -1 || edit.mHilitePos == edit.mCursorPos) return "";
        int lo = std::min(edit.mHilitePos, edit.mCursorPos);
        int hi = std::max(edit.mHilitePos, edit.mCursorPos);
        return edit.mString.substr(lo, hi - lo);
    }
};

TEST(EditWidget, KeyScripts) {
    struct Case {
        const char* why;
        std::function<void(EditScene&)> script;
        const char* text;
        int caret;
        const char* selection;
        const char* clipboard;
    };
    const Case kCases[] = {
            {"typing", [](EditScene& s) { s.Type("abc"); }, "abc", 3, "", ""},
            {"undo removes a typing run in one step",
             [](EditScene& s) {
                 s.Type("abc");
                 s.Ctrl('Z');
             },
             "", 0, "", ""},
            {"undo twice redoes",
             [](EditScene& s) {
                 s.Type("abc");
                 s.Ctrl('Z');
                 s.Ctrl('Z');
             },
             "abc", 3, "", ""},
            {"ctrl+left by words",
             [](EditScene& s) {
                 s.Type("hello world");
                 s.WithKey(kCtrl, kLeft);
             },
             "hello world", 6, "", ""},
            {"ctrl+left twice",
             [](EditScene& s) {
                 s.Type("hello world");
                 s.WithKey(kCtrl, kLeft);
                 s.WithKey(kCtrl, kLeft);
             },
             "hello world", 0, "", ""},
            {"ctrl+right by words",
             [](EditScene& s) {
                 s.Type("hello world");
                 s.Key(kHome);
                 s.WithKey(kCtrl, kRight);
             },
             "hello world", 6, "", ""},
            {"ctrl+right twice",
             [](EditScene& s) {
                 s.Type("hello world");
                 s.Key(kHome);
                 s.WithKey(kCtrl, kRight);
                 s.WithKey(kCtrl, kRight);
             },
             "hello world", 11, "", ""},
            {"shift+left twice selects",
             [](EditScene& s) {
                 s.Type("abc");
                 s.WithKey(kShift, kLeft);
                 s.WithKey(kShift, kLeft);
             },
             "abc", 1, "bc", ""},
            {"left after a selection clears it",
             [](EditScene& s) {
                 s.Type("abc");
                 s.WithKey(kShift, kLeft);
                 s.WithKey(kShift, kLeft);
                 s.Key(kLeft);
             },
             "abc", 1, "", ""},
            {"right after a selection goes to its end",
             [](EditScene& s) {
                 s.Type("abc");
                 s.WithKey(kShift, kLeft);
                 s.WithKey(kShift, kLeft);
                 s.Key(kRight);
             },
             "abc", 3, "", ""},
            {"copy keeps the selection",
             [](EditScene& s) {
                 s.Type("hello");
                 s.edit.mCursorPos = 2;
                 s.edit.mHilitePos = 4;
                 s.Ctrl('C');
             },
             "hello", 2, "ll", "ll"},
            {"cut removes the selection",
             [](EditScene& s) {
                 s.Type("hello");
                 s.edit.mCursorPos = 2;
                 s.edit.mHilitePos = 4;
                 s.Ctrl('X');
             },
             "heo", 2, "", "ll"},
            {"copy of a password field copies the mask",
             [](EditScene& s) {
                 s.edit.mPasswordChar = '*';
                 s.Type("secret");
                 s.edit.mHilitePos = 0;
                 s.Ctrl('C');
             },
             "secret", 6, "secret", "******"},
            {"paste respects the character limit",
             [](EditScene& s) {
                 s.edit.mMaxChars = 5;
                 s.f.app.mClipboard = "abcdefg";
                 s.Ctrl('V');
             },
             "abcde", 5, "", "abcdefg"},
            {"paste stops at a line break",
             [](EditScene& s) {
                 s.f.app.mClipboard = "ab\r\ncd";
                 s.Ctrl('V');
             },
             "ab", 2, "", "ab\r\ncd"},
            {"paste replaces the selection",
             [](EditScene& s) {
                 s.Type("hello");
                 s.edit.mCursorPos = 1;
                 s.edit.mHilitePos = 4;
                 s.f.app.mClipboard = "XY";
                 s.Ctrl('V');
             },
             "hXYo", 3, "", "XY"},
            {"set text selects all: the next character replaces it",
             [](EditScene& s) {
                 s.edit.SetText("name", false);
                 s.Type("x");
             },
             "x", 1, "", ""},
            {"undo after set text does not bring back the old text",
             [](EditScene& s) {
                 s.Type("old");
                 s.edit.SetText("new", true);
                 s.Ctrl('Z');
             },
             "new", 3, "new", ""},
            {"backspace and delete",
             [](EditScene& s) {
                 s.Type("abcd");
                 s.Key(kBackspace);
                 s.Key(kHome);
                 s.Key(kDelete);
             },
             "bc", 0, "", ""},
            {"backspace at the start does nothing",
             [](EditScene& s) {
                 s.Type("ab");
                 s.Key(kHome);
                 s.Key(kBackspace);
             },
             "ab", 0, "", ""},
            {"delete at the end does nothing",
             [](EditScene& s) {
                 s.Type("ab");
                 s.Key(kDelete);
             },
             "ab", 2, "", ""},
            {"end and shift+home select everything",
             [](EditScene& s) {
                 s.Type("abc");
                 s.Key(kHome);
                 s.Key(kEnd);
                 s.WithKey(kShift, kHome);
             },
             "abc", 0, "abc", ""},
            {"control characters are not inserted",
             [](EditScene& s) {
                 s.Type("a\x01\x1f"
                        "b");
             },
             "ab", 2, "", ""},
            {"characters above 127 with the 8-bit flag", [](EditScene& s) { s.Type("\xe9"); }, "\xe9", 1, "", ""},
            {"characters above 127 without the 8-bit flag",
             [](EditScene& s) {
                 s.f.app.mAllow8Bit = false;
                 s.Type("\xe9");
             },
             "", 0, "", ""},
            {"pixel limit",
             [](EditScene& s) {
                 s.edit.mMaxPixels = 20;  // three characters of 6 pixels
                 s.Type("abcdef");
             },
             "abc", 3, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EditScene s;
        c.script(s);
        EXPECT_EQ(s.edit.mString, c.text);
        EXPECT_EQ(s.edit.mCursorPos, c.caret);
        EXPECT_EQ(s.Selection(), c.selection);
        EXPECT_EQ(s.f.app.mClipboard, c.clipboard);
    }
}

TEST(EditWidget, ListenerCanRefuseText) {
    EditScene s;
    s.listener.mMaxTextLength = 3;
    s.Type("abcd");
    EXPECT_EQ(s.edit.mString, "abc");
    EXPECT_EQ(s.edit.mCursorPos, 3);
}

TEST(EditWidget, ATypedCharacterThatDoesNotGoInIsToldToTheListener) {
    struct Case {
        const char* why;
        std::function<void(EditScene&)> script;
        const char* text;
        Log told;
    };
    const Case kCases[] = {
            {"refused by the listener",
             [](EditScene& s) {
                 s.listener.mRefusedChars = "-";
                 s.Type("a-b");
             },
             "ab",
             {"refused 3 2d"}},
            {"above 127 without the 8-bit flag",
             [](EditScene& s) {
                 s.f.app.mAllow8Bit = false;
                 s.Type("\xc3\xa9");
             },
             "",
             {"refused 3 c3", "refused 3 a9"}},
            {"beyond the character limit",
             [](EditScene& s) {
                 s.edit.mMaxChars = 2;
                 s.Type("abc");
             },
             "ab",
             {"refused 3 63"}},
            {"beyond the text the listener allows",
             [](EditScene& s) {
                 s.listener.mMaxTextLength = 1;
                 s.Type("xy");
             },
             "x",
             {"refused 3 79"}},
            {"taken characters and control characters tell nothing",
             [](EditScene& s) {
                 s.Type("a\x01 b");
                 s.Key(kBackspace);
             },
             "a ",
             {}},
            {"a character typed over a selection of the same character is taken",
             [](EditScene& s) {
                 s.edit.SetText("a", false);
                 s.Type("a");
             },
             "a",
             {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EditScene s;
        c.script(s);
        EXPECT_EQ(s.edit.mString, c.text);
        EXPECT_EQ(s.listener.mLog, c.told);
    }
}

TEST(EditWidget, EnterTellsListener) {
    EditScene s;
    s.Type("hi");
    s.Key(kEnter);
    EXPECT_EQ(s.listener.mLog, Log({"enter 3 hi"}));
}

TEST(EditWidget, LetterKeysDoNotReachProcessKey) {
    EditScene s;
    s.f.manager.KeyDown(90);  // Z
    s.f.manager.KeyDown(65);  // A
    s.f.manager.KeyDown(37);
    s.f.manager.KeyDown(91);
    s.f.manager.KeyDown(64);
    EXPECT_EQ(s.listener.mAskedKeys, std::vector<int>({37, 91, 64}));
}

TEST(EditWidget, CaretBlinksEvery41Updates) {
    EditScene s;
    EXPECT_TRUE(s.edit.mShowingCursor);
    std::vector<int> toggles;
    bool last = s.edit.mShowingCursor;
    for (int tick = 1; tick <= 90; tick++) {
        s.f.manager.UpdateFrame();
        if (s.edit.mShowingCursor != last) {
            toggles.push_back(tick);
            last = s.edit.mShowingCursor;
        }
    }
    EXPECT_EQ(toggles, std::vector<int>({41, 82}));
    for (int tick = 0; tick < 41; tick++) s.f.manager.UpdateFrame();
    ASSERT_FALSE(s.edit.mShowingCursor);
    s.Type("a");  // the caret moved: visible at once
    EXPECT_TRUE(s.edit.mShowingCursor);
    s.f.manager.SetFocus(nullptr);
    EXPECT_FALSE(s.edit.mShowingCursor);
    s.f.manager.UpdateFrame();
    EXPECT_FALSE(s.edit.mShowingCursor);  // no blinking without the focus
}

TEST(EditWidget, CharacterAtPoint) {
    struct Case {
        const char* why;
        int leftPos;
        int x;
        int caret;
    };
    const Case kCases[] = {
            {"left of the first middle", 0, 7, 0},
            {"at the first middle (+5)", 0, 8, 1},
            {"second middle", 0, 14, 2},
            {"far right", 0, 500, 10},
            {"scrolled view counts from the first visible character", 5, 0, 5},
            {"scrolled, one character in", 5, 8, 6},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EditScene s;
        s.Type("0123456789");
        s.edit.mLeftPos = c.leftPos;
        EXPECT_EQ(s.edit.GetCharAt(c.x, 0), c.caret);
    }
}

TEST(EditWidget, NarrowFieldScrollingEnds) {
    // 12 pixels wide: every character offset reaches width - 8, so the view
    // can never show the caret; scrolling must stop at the last character.
    EditScene s(12);
    s.Type("abc");
    EXPECT_EQ(s.edit.mString, "abc");
    EXPECT_EQ(s.edit.mLeftPos, 2);
}

TEST(EditWidget, ViewFollowsCaret) {
    EditScene s(60);  // 52 pixels of text before scrolling
    s.Type("0123456789");
    EXPECT_GT(s.edit.mLeftPos, 0);
    EXPECT_LT(6 * (s.edit.mCursorPos - s.edit.mLeftPos), 60 - 8);
    s.Key(kHome);
    EXPECT_EQ(s.edit.mLeftPos, 0);
}

TEST(EditWidget, MouseSelection) {
    EditScene s;
    s.Type("hello world");
    // Press gives the focus and places the caret; drag selects.
    s.f.manager.MouseDown(8, 5, 1);  // caret 1
    s.f.manager.MouseMove(26, 5);    // (18 + 24) / 2 + 5 = 26: caret 4
    s.f.manager.MouseUp(26, 5, 1);
    EXPECT_EQ(s.Selection(), "ell");
    // A double click selects the word under the pointer.
    s.f.manager.MouseDown(45, 5, 1);
    s.f.manager.MouseUp(45, 5, 1);
    s.f.manager.MouseDown(45, 5, 2);
    s.f.manager.MouseUp(45, 5, 2);
    EXPECT_EQ(s.Selection(), "world");
    // A click without moving leaves no selection.
    s.f.manager.MouseDown(8, 5, 1);
    s.f.manager.MouseUp(8, 5, 1);
    EXPECT_EQ(s.edit.mHilitePos, -1);
    EXPECT_EQ(s.f.manager.mFocusWidget, &s.edit);
}

TEST(EditWidget, CursorIsTextOverField) {
    EditScene s;
    s.f.manager.MouseMove(5, 5);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_TEXT);
    s.f.manager.MouseMove(500, 500);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_POINTER);
}

TEST(EditWidget, DrawsTextAndCaretBar) {
    Log textLog;
    TestFont font(&textLog);
    EditScene s;
    s.edit.SetFont(&font);
    s.Type("ab");
    RecordingImage image(400, 100);
    Velm::Graphics g(&image);
    s.edit.Draw(&g);
    // Baseline (20 - 10) / 2 + 8 = 13; two passes; caret bar at 12 + 4, 2 pixels wide.
    EXPECT_EQ(textLog, Log({"ab@4,13 0,0,0,255", "ab@4,13 255,255,255,255"}));
    EXPECT_EQ(image.mCalls.front(), "fill 0,0,200,20 255,255,255,255");
    EXPECT_EQ(image.mCalls[1], "fill 16,5,2,10 0,0,0,255");
    EXPECT_EQ(image.mCalls.back(), "rect 0,0,199,19 0,0,0,255");
}

TEST(EditWidget, FieldWithoutAnyFontStillTakesText) {
    Fixture f;
    f.app.mSysFonts = false;
    RecordingListener listener;
    EditWidget edit(1, &listener);
    edit.Resize(0, 0, 100, 20);
    f.manager.AddWidget(&edit);
    f.manager.SetFocus(&edit);
    f.manager.KeyChar('a');
    EXPECT_EQ(edit.mString, "a");
    RecordingImage image(200, 200);
    Velm::Graphics g(&image);
    edit.Draw(&g);  // draws no text, no crash
}

}  // namespace
}  // namespace VelmTest
