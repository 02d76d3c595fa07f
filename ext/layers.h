// layers.h - the 32 layer plug-in slots: their entries and timer state as
// the compositor and the animation tick read them, their binding by
// setlayer, and their start and end as the frame commands and ScriptError
// call them.
#pragma once
#include <cstdint>

enum { LayerSlotCount = 32, LayerParameterSize = 8192 };

struct LayerSlot {
    int32_t interval = 0;        // timer interval in ms; 0 = no timer
    uint32_t lastTick = 0;       // time of the last Timer call
    int32_t suppressed = 0;      // not drawn while an effect operand runs
    void (*Initialize)(const char* parameter) = nullptr;
    void (*Finalize)() = nullptr;
    int (*Timer)() = nullptr;    // nonzero asks for a redraw
    // Draws the layer into SrcSurface's bits over area (left, top, right,
    // bottom, inclusive).
    void (*Draw)(uint8_t* bits, int32_t* area) = nullptr;
    // layermessage: nonzero asks for a redraw; fills ReturnValue and
    // ReturnString.
    int (*Message)(const char* text, int32_t* value, char* text_out) = nullptr;
    char parameter[LayerParameterSize] = {};  // the text after '/' in setlayer
};
extern LayerSlot LayerSlots[LayerSlotCount];

// Binds slot n (0..31, checked by the caller) to the library named by
// `text` ("x.dll/parameters"; no '/': no parameters) with the interval.
void LoadLayerPlugin(int n, int32_t interval, const char* text);
// Calls the Initialize entry of every slot that has one, with its parameter.
void InitializeLayers();
// Calls the Finalize entry of every slot that has one, slot 0 first.
void FinalizeLayers();
