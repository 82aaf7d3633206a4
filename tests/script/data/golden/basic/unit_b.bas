Imports "unit_a.bas"
Sub FromB
End Sub
