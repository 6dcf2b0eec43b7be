// Steps of the page check about the page around the skin (the keyboard, the help, a tab
// of another size), run on the built-in skin with the greeting card chosen and settled.
// context: { browser, tab, address, shot, settled, problems }.
export async function shellSteps(context) {
  void context;
}
