#pragma once
// Script adapter modules of the platform's general classes. Each start
// function appends its module to the module list (once); the end function
// takes it out. zsStartPlatformModules starts them in their order: ini
// files, classes, dialogs, graphics.

void zsStartIniRTTI();
void zsEndIniRTTI();
void zsStartClassesRTTI();
void zsEndClassesRTTI();
void zsStartDialogsRTTI();
void zsEndDialogsRTTI();
void zsStartGraphicsRTTI();
void zsEndGraphicsRTTI();

void zsStartPlatformModules();
void zsEndPlatformModules();
