#pragma once

class TCustomEdit;
class TStrings;

// The lines of a multi-line edit as its window shows them (a wrapped line counts as several);
// the hard lines of its text while it has no window. Writing a line rewrites the edit's text.
// The caller owns the list, which must not outlive the edit.
TStrings* NewEditLines(TCustomEdit* edit);
