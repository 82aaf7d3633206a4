void FromA() { }
{
}
