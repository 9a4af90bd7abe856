#pragma once
// Font faces that the program's texts name but Linux lacks.

// Maps the Song face 宋体 (also spelt SimSun) onto an installed Song face, so that the guide's text keeps its
// look and its 12-pixel lines instead of falling back to a Latin face.
void installFontSubstitutions();
