// The resident instance's window title: the key by which a later start finds it. Included by
// the resource script (the main dialog's caption) and by the code, so the two cannot differ.
#pragma once

#define BRINDLE_MAIN_WINDOW_TITLE "Brindle Launcher"
