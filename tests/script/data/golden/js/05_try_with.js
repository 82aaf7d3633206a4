try { Risky(); } finally { Cleanup(); }
try x = 1 / 0; except ShowMessage("failed");
with (Memo1.Font) { Name = "Arial"; }
obj = new TStringList;
delete obj;
