Dim i, j As Integer
Dim s As String = "start", f As Decimal = 1.5
Dim grid[3, 4] As Integer
Dim list[10]
Dim v = 0x1F
