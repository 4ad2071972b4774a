#include "shell/CHECK.h"

// TO BE FILLED with the exit dialog (CCHECK): until it exists the close box of a screen
// keeps the user where he is rather than ending without a question.
int RunExitDialog() {
    return EXIT_ACTION_STAY;
}

void BeforeExitProcess() {}
