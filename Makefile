# The two commands of the README. Both install what is missing first (scripts/bootstrap).
.PHONY: demo test bootstrap clean

demo:
	@scripts/demo

test:
	@scripts/test

bootstrap:
	@scripts/bootstrap

clean:
	rm -rf build
