    if (a == b {
    if (x
    {
    if ((a > 0) && (b < 1) {
    if (ok) {
    if (ok) return;
    if (a)) {
    } else if (f(x) {
    x = 1; if(a {
	if (tab {
s = " if (" + x; {
