# The two commands of the README. Both install what is missing first (scripts/bootstrap).
.PHONY: demo test screenshots bootstrap clean

demo:
	@scripts/demo

test:
	@scripts/test

# Pictures of the options dialog's pages (Windows build under Wine) in build/screenshots/.
screenshots:
	@scripts/screenshots

bootstrap:
	@scripts/bootstrap

clean:
	rm -rf build
