{
  try { Risky(); } finally { Cleanup(); }
  try { x = 1 / 0; } except { ShowMessage("failed"); }
  obj = new TStringList;
  list = new TList();
  delete obj;
  exit;
}
