Sub FromA
End Sub
