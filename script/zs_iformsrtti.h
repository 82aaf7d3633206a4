#pragma once
// The script adapter of the platform's controls and forms (a registration
// module): started after the other platform modules, before the report's.

void zsStartFormsRTTI();
void zsEndFormsRTTI();
