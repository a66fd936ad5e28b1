// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"
#include "shell/frm_pelatto.h"

// Works on the drill state's own input and output texts.
void frmPelatto::GroupDigits() { suuKug = groupDigits(suuRet); }
