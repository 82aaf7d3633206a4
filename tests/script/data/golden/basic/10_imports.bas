Imports "unit_a.bas", "unit_b.bas"
FromA
