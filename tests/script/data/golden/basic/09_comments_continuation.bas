' a comment line
rem another comment
x = 1 + _
    2 ' trailing
REM whole-word rem in capitals
remaining = x
/\ block comment /\ y = 3
