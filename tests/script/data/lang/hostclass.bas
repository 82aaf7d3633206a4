' A host class used from the script
Dim o As TDemoItem
Dim i As Integer
o = New TDemoItem(nil)
o.Caption = "box"
o.Count = 4
Print(o.Caption + " " + IntToStr(o.Count))
Print(o.Sum(1, 2))
For i = 1 To 3
  o[i] = "item" + IntToStr(i)
Next
Print(o[2])
o.Values["k"] = 9
Print(o.Values["k"] + 1)
Print(o.Area)
i = 21
o.Grow(i)
Print(i)
Demo.Caption = "global"
Print(Demo.Caption)
o.Free
