// buttons.cpp - the button table, its switches and the button wait.
#include "text/buttons.h"

#include "text/window_links.h"

ButtonTable Buttons;
Surface ButtonPicture;
ButtonWaitSwitches ButtonWaitOptions;
int32_t ButtonGetEnter = 0, ButtonGetFunction = 0;
int32_t ButtonWaitElapsed = 0;
int32_t LastTextButton = -1;
int32_t ButtonWaitTextMode = 0, ButtonWaitSelectMode = 0;

ButtonKind ButtonKindOf(int i) {
    if (Buttons.spriteLink[i] <= -1000) return ExtendedButton;
    if (Buttons.spriteLink[i] < 0) return SpriteButton;
    return Buttons.choiceLink[i] < 0 ? ChoiceButton : AreaButton;
}

int32_t ButtonSpriteOf(int i) {
    int32_t link = Buttons.spriteLink[i];
    if (link <= -1000) return -1000 - link;
    if (link < 0) return -1 - link;
    return -1;
}

int AddButton(int32_t number, int32_t left, int32_t top, int32_t width, int32_t height,
              int32_t spriteLink, int32_t choiceLink) {
    int i = Buttons.count;
    Buttons.number[i] = number;
    Buttons.left[i] = left;
    Buttons.top[i] = top;
    Buttons.width[i] = width;
    Buttons.height[i] = height;
    Buttons.right[i] = left + width - 1;
    Buttons.bottom[i] = top + height - 1;
    Buttons.spriteLink[i] = spriteLink;
    Buttons.choiceLink[i] = choiceLink;
    Buttons.count++;
    return i;
}

int AddSpriteButton(int32_t, int32_t, const char*) { return -1; }
void ClearButtons() { Buttons.count = 0; }
void ResetButtonSwitches() {}
int32_t ButtonWait() { return 0; }
int FindHoveredButton(int32_t, int32_t, int) { return -1; }
void ResetButtonWait() { ButtonWaitOptions.timeout = -1; }
