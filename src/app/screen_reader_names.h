#pragma once
// What screen readers call the live windows and the controls that show no caption of their own. Buttons
// and labels are read by their captions and the colour picker by its colour; the power boxes, the guide
// views, the notepad's boxes and the untitled help window get the names below, and a drop-down menu the
// caption of its entry in the menu bar.
class LiveWindow;

void nameForScreenReaders(LiveWindow &window);
